// Resource and control IDs of Clavora.rc. Shared by the resource compiler and the C++ code,
// hence plain #defines.
#pragma once

// --- dialog templates ---
#define IDD_ABOUTBOX 100         // About box (CAboutWindow)
#define IDD_CLAVORA_DIALOG 102   // resident main window (CMainWindow)
#define IDD_CONTROL 129          // control panel, a child of the main window (CControlDlg)
#define IDD_PIN 131              // the pin picture window (CPinDlg)
#define IDD_PIN_PROPERTY 136     // transparency of a pin (CPinPropatyDlg)
#define IDD_MATCH_CONDITION 138  // matching conditions of a record (CMatchConditionDlg)
#define IDD_CHILD_SELECT 139     // choice of a child window (CChildSelDlg)
#define IDD_SIZE 142             // property settings: pin size, dragging, hotkey (CSizeDlg)

// --- icons, bitmaps, menus, strings ---
#define IDI_CLAVORA 128     // the program's icon
#define IDI_DESKTOP 137     // the desktop's icon in the control panel's list
#define IDB_PIN_NORMAL 135  // 52 x 50 pin, white is see-through
#define IDB_PIN_SMALL 141   // 30 x 29 pin, white is see-through
// the two pins drawn again for 125, 150 and 200 percent display scale
#define IDB_PIN_NORMAL_125 143
#define IDB_PIN_NORMAL_150 144
#define IDB_PIN_NORMAL_200 145
#define IDB_PIN_SMALL_125 146
#define IDB_PIN_SMALL_150 147
#define IDB_PIN_SMALL_200 148
#define IDR_TRAY_MENU 130   // menu of the notification-area icon
#define IDR_PIN_MENU 133    // context menu of a pin
#define IDS_ABOUTBOX 101    // text of the About item in the main window's system menu

// --- menu commands ---
#define IDM_ABOUTBOX 0x0010         // system menu: About box (the system uses the low four bits)
#define IDM_MAIN_PANEL 32771        // tray: "メインパネル"
#define IDM_EXIT 32772              // tray: "終了"
#define IDM_PIN_PULL_OUT 32773      // pin: "抜く"
#define IDM_PIN_TRANSPARENCY 32774  // pin: "透明度"
#define IDM_ZORDER_NORMAL 32776     // pin: Z-Order "通常"
#define IDM_ZORDER_TOPMOST 32777    // pin: Z-Order "最前面"
#define IDM_MATCH_CONDITION 32779   // pin: "マッチング条件設定"

// --- controls ---
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// About box (100) and main window (102)
#define IDC_VERSION 1001        // "Clavora Ver.:..." line
#define IDC_HOMEPAGE_LINK 1027  // link to the maker's home page (also in 102)

// control panel (129)
#define IDC_PIN_LIST 1000           // list view of the records
#define IDC_PROPERTY_SETTINGS 1026  // "プロパティ設定"
#define IDC_CHANGE_CONDITIONS 1031  // "条件変更"
#define IDC_DELETE_PIN 1002         // "画鋲削除"

// pin window (131)
#define IDC_PIN_PICTURE 1006  // picture control holding the pin bitmap

// transparency dialog (136)
#define IDC_TRANS_PERCENT 1010  // edit, buddy of the spinner
#define IDC_TRANS_SPIN 1011     // up-down 20 ... 100
#define IDC_TRANS_CONTROL 1012  // "制御する"

// match condition dialog (138)
#define IDC_CHECK_PROCESS 1013    // "プロセス名"
#define IDC_CHECK_TITLE 1014      // "ウィンドウタイトル"
#define IDC_CHECK_FULL 1015       // title "完全一致"
#define IDC_EDIT_TITLE_PART 1016  // part of the title
#define IDC_EDIT_EX_PART 1017     // part of the child window's text
#define IDC_CHECK_EX_FULL 1018    // child text "完全一致"
#define IDC_INFO_CLASS 1019       // child window class (yellow box)
#define IDC_INFO_CTRLID 1020      // child control ID (yellow box)
#define IDC_CHECK_EXTENT 1021     // "拡張条件"
#define IDC_SELECT_CHILD 1022     // "条件選択"
#define IDC_INFO_TEXT 1023        // child window text (yellow box)

// child window selection dialog (139)
#define IDC_CHILD_LIST 1023  // candidate child windows
#define IDC_RECAPTURE 1024   // "イメージ再取得"

// property settings dialog (142)
#define IDC_RADIO_SMALL_PIN 1025   // "小さい画鋲", first of the pin size group
#define IDC_RADIO_NORMAL_PIN 1026  // "通常画鋲"
#define IDC_CHECK_MOVE 1028        // "移動可"
#define IDC_HOTKEY 1029            // the hotkey field (CHotKeyExCtrl)
#define IDC_HOTKEY_TEST 1030       // "重複確認"
