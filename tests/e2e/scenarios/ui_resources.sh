# Clavora's resources as the running program gets them, through gallery.exe and the window
# layer: every dialog template (caption, controls in tab order with their Japanese texts as
# the wide API reads them back, the styles that matter, no label cut off), both menus, string
# 101, the version resource, the pin bitmaps and the icons; and the layer itself (modal runs,
# data exchange, colours, list view, up-down, a subclassed control that sees posted messages,
# a modeless dialog that releases its object with its window). Screenshots of each.

GALLERY="$CLAVORA_WIN64_DIR/gallery.exe"
[ -f "$GALLERY" ] || fail "gallery.exe is not built ($GALLERY)"

gallery_log() { tr -d '\r' <"$ARTIFACTS/gallery.$1.log"; }

# start_gallery ARGS... READY-REGEX: starts gallery.exe and waits for its READY line; sets
# SHOWN (the number of its log) and SHOWN_PID.
start_gallery() {
    local ready=${*: -1}
    start_exe "$GALLERY" "${@:1:$#-1}"
    SHOWN=$E2E_LOG_SEQ
    SHOWN_PID=$LAST_PID
    wait_until "LC_ALL=C grep -Eq '$ready' '$ARTIFACTS/gallery.$SHOWN.log'" 20000 ||
        fail "gallery.exe $* did not get ready"
}

wait_gallery_gone() {
    wait_until "! kill -0 $SHOWN_PID" 10000 || fail "gallery.exe did not end ($1)"
}

# The dialog's or a control's style word in the gallery's listing.
dialog_word() { gallery_log "$SHOWN" | sed -n "s/^window=.* $1=\\(0x[0-9a-f]*\\).*/\\1/p"; }
control_style() { gallery_log "$SHOWN" | sed -n "s/^control id=$1 .* style=\\(0x[0-9a-f]*\\) .*/\\1/p"; }

# expect_bits VALUE MASK WANT WHAT: (VALUE & MASK) == WANT
expect_bits() {
    [ $(($1 & $2)) -eq $(($3)) ] || fail "$4: $1 & $2 is not $3"
}

# check_template ID CAPTION < "id|class|text" lines in tab order
check_template() {
    local id=$1 caption=$2 expected root cut
    expected=$(cat)
    start_gallery dialog "$id" '^ready'
    root=$(gallery_log "$SHOWN" | sed -n 's/^hwnd=[^ ]* root=//p')
    probe idle "$root" >/dev/null
    screenshot "template-$id"
    expect_eq "$(gallery_log "$SHOWN" | sed -n 's/^caption=//p')" "$caption" "caption of template $id"
    expect_eq "$(gallery_log "$SHOWN" | sed -n 's/^control id=\([^ ]*\) class=\([^ ]*\) .* text=\(.*\)$/\1|\2|\3/p')" \
        "$expected" "controls of template $id"
    cut=$(gallery_log "$SHOWN" | LC_ALL=C grep ' fits=0 ' || true)
    [ -z "$cut" ] || fail "labels cut off in template $id: $cut"
    check_styles "$id"
    probe close "$root"
    wait_gallery_gone "template $id closed"
    gallery_log "$SHOWN" | grep -qx destroyed || fail "template $id: the object did not go with its window"
}

check_styles() {
    case $1 in
        102)
            expect_bits "$(dialog_word exstyle)" 0x40000 0x40000 "102 WS_EX_APPWINDOW"
            expect_bits "$(dialog_word style)" 0x20000 0x20000 "102 WS_MINIMIZEBOX"
            ;;
        129)
            expect_bits "$(dialog_word style)" 0x40000400 0x40000400 "129 WS_CHILD | DS_CONTROL"
            expect_bits "$(dialog_word exstyle)" 0x200 0x200 "129 WS_EX_CLIENTEDGE"
            expect_bits "$(control_style 1000)" 0x1000f 0x10005 "129 list: report view, single selection, tab stop"
            ;;
        131)
            expect_bits "$(dialog_word style)" 0x80c00000 0x80000000 "131 WS_POPUP without caption or border"
            expect_bits "$(dialog_word exstyle)" 0x08000080 0x08000080 "131 WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW"
            expect_bits "$(control_style 1006)" 0x1f 0x0e "131 SS_BITMAP"
            ;;
        136)
            expect_bits "$(dialog_word style)" 0x2 0x2 "136 DS_SYSMODAL"
            expect_bits "$(dialog_word exstyle)" 0x80 0x80 "136 WS_EX_TOOLWINDOW"
            expect_eq "$(control_style 1011)" 0x500000b6 "136 up-down styles"
            expect_bits "$(control_style 1010)" 0x3 0x1 "136 edit ES_CENTER"
            ;;
        138)
            expect_bits "$(dialog_word exstyle)" 0x80 0x80 "138 WS_EX_TOOLWINDOW"
            expect_bits "$(control_style 1019)" 0x1203 0x1201 "138 info box sunken, centred"
            expect_bits "$(control_style 1023)" 0x1203 0x1200 "138 text box sunken, left"
            expect_bits "$(control_style 1016)" 0x80 0x80 "138 edit ES_AUTOHSCROLL"
            ;;
        139)
            expect_bits "$(dialog_word style)" 0x200 0x200 "139 DS_SETFOREGROUND"
            expect_bits "$(dialog_word exstyle)" 0x80 0x80 "139 WS_EX_TOOLWINDOW"
            expect_bits "$(control_style 1023)" 0x1000f 0x1000d "139 list: report, single, always selected"
            ;;
        142)
            expect_bits "$(control_style 1025)" 0x2000f 0x20009 "142 first radio button of its group"
            expect_bits "$(control_style 1026)" 0x2000f 0x9 "142 second radio button"
            expect_bits "$(control_style 1)" 0x20000 0x20000 "142 OK ends the radio group"
            ;;
    esac
}

check_template 100 "Clavoraのﾊﾞｰｼﾞｮﾝ情報" <<'EOF'
-1|Static|#128
1001|Static|Clavora Version 1.0
-1|Static|© Clavora authors (MIT)
1|Button|OK
1027|SysLink|<a>Veskaroホームページ</a>
EOF

check_template 102 "Clavora" <<'EOF'
1027|SysLink|<a>Powered By Veskaro</a>
EOF

check_template 129 "" <<'EOF'
1000|SysListView32|List1
1026|Button|プロパティ設定
-1|Button|
1031|Button|条件変更
1002|Button|画鋲削除
EOF

check_template 131 "" <<'EOF'
1006|Static|
EOF

check_template 136 "プロパティ" <<'EOF'
-1|Button|透明度
1010|Edit|
1011|msctls_updown32|
-1|Static|%
1|Button|OK
2|Button|ｷｬﾝｾﾙ
1012|Button|制御する
EOF

check_template 138 "マッチング条件設定" <<'EOF'
-1|Button|マッチング条件
1013|Button|プロセス名
1014|Button|ウィンドウタイトル
1021|Button|拡張条件
-1|Button|タイトル部分照合
1015|Button|完全一致
1016|Edit|
-1|Button|拡張条件（子ウィンドウ文字列）
-1|Static|WindowClass
1019|Static|Static
-1|Static|ControlID
1020|Static|Static
-1|Static|テキスト
1023|Static|Static
1018|Button|完全一致
1017|Edit|
1022|Button|条件選択
1|Button|OK
2|Button|ｷｬﾝｾﾙ
EOF

check_template 139 "子ウィンドウ条件選択" <<'EOF'
1|Button|OK
2|Button|ｷｬﾝｾﾙ
1023|SysListView32|
-1|Static|マッチング条件候補
-1|Button|ウィンドウイメージ
1024|Button|イメージ再取得
EOF

check_template 142 "プロパティ設定" <<'EOF'
-1|Button|画鋲サイズ
1025|Button|小さい画鋲
1026|Button|通常画鋲
1|Button|OK
2|Button|キャンセル
-1|Button|画鋲のドラッグ移動
1028|Button|移動可
-1|Button|ピン止めキー（HOTKEY)
1029|msctls_hotkey32|
1030|Button|重複確認
EOF

# --- menus: items as loaded, then the first popup at the cursor; a click elsewhere closes it ---

# check_menu ID < item lines
check_menu() {
    local id=$1 expected menu
    expected=$(cat)
    start_gallery menu "$id" '^ready'
    expect_eq "$(gallery_log "$SHOWN" | sed '/^ready$/,$d')" "$expected" "items of menu $id"
    menu=$(probe wait-window --class '#32768' --visible --exe gallery.exe --timeout 10000) || fail "menu $id not shown"
    probe idle "$(field hwnd "$menu")" >/dev/null
    screenshot "menu-$id"
    MENU_RECT=$(field rect "$menu")
}

close_menu() {
    xdotool mousemove 1200 1000 click 1
    wait_gallery_gone "menu closed by a click elsewhere"
}

check_menu 130 <<'EOF'
item id=32771 state=0x00000000 text=メインパネル
separator
item id=32772 state=0x00000000 text=終了
EOF
close_menu

check_menu 133 <<'EOF'
item id=32773 state=0x00000000 text=抜く
separator
item id=32774 state=0x00000000 text=透明度
popup text=Z-Order
  item id=32776 state=0x00000000 text=通常
  item id=32777 state=0x00000000 text=最前面
separator
item id=32779 state=0x00000000 text=マッチング条件設定
EOF
# Hovering over "Z-Order", the fourth row (below the middle: the separators are low), opens
# its submenu.
IFS=, read -r ml mt mr mb <<<"$MENU_RECT"
rows=$((mb - mt))
xdotool mousemove $((ml + 20)) $((mt + rows * 58 / 100)) sleep 0.1 mousemove $((ml + 24)) $((mt + rows * 60 / 100))
wait_until "[ \$(probe find --class '#32768' --visible --exe gallery.exe | wc -l) -ge 2 ]" 5000 ||
    fail "the Z-Order submenu did not open"
screenshot menu-133-z-order
close_menu

# --- string, version, pictures ---

resources=$(cd "$WORKDIR" && wine_run "$GALLERY" resources 2>>"$ARTIFACTS/gallery-resources.err" | tr -d '\r')
printf '%s\n' "$resources" >"$ARTIFACTS/resources.txt"
expect_eq "$(printf '%s\n' "$resources" | LC_ALL=C grep -v '^bitmap')" "$(cat <<'EOF'
string 101=Clavora のﾊﾞｰｼﾞｮﾝ情報(&A)...
fileversion=1.0.1.120
translation=041104b0 entries=1
ProductVersion=1, 0, 1, 120 (length 13)
FileVersion=1, 0, 1, 120 (length 13)
ProductName=Clavora (length 8)
CompanyName=Veskaro (length 8)
icon 128 asked=16 size=16x16 bits=32
icon 128 asked=32 size=32x32 bits=32
icon 128 asked=48 size=48x48 bits=32
icon 137 asked=16 size=16x16 bits=32
icon 137 asked=32 size=32x32 bits=32
EOF
)" "string, version and icons"
for bitmap in "135 size=52x50" "141 size=30x29"; do
    line=$(printf '%s\n' "$resources" | grep "^bitmap ${bitmap% *} ")
    # 24 bits; white (see-through) at the top corners and right; the needle's tip at the bottom-left
    expect_match "$line" "^bitmap $bitmap bits=24 topleft=0x00ffffff topright=0x00ffffff bottomleft=0x00[0-9a-f]{6} bottomright=0x00ffffff$" \
        "bitmap ${bitmap% *}"
    case $line in *bottomleft=0x00ffffff*) fail "bitmap ${bitmap% *}: the needle does not reach the bottom-left corner" ;; esac
done

# --- the window layer ---

start_gallery probe '^list ready'
probe idle "$(gallery_log "$SHOWN" | sed -n 's/^list ready hwnd=//p')" >/dev/null
screenshot layer-list-view
wait_gallery_gone "probe finished"
expect_eq "$(gallery_log "$SHOWN" | grep -v '^list ready')" "$(cat <<'EOF'
conditions end=2 acp=932 text-roundtrip=same full=1 info=子ウィンドウ infocolour=0x00b4ffff
field message=0x00000500 vk=90
field message=0x00000501 vk=90
settings end=1 pinsize=1 move=1
list end=1 rows=2 mark=1 selected=1 hot=1 exstyle=0x00000021 heading=className image1=0 image0=-2 text=メモ帳
spin end=1 pos=70 buddy=70 above=100 below=20
DialogBoxParam(4242) Error=1814
missing end=-1
EOF
)" "window layer probe"
