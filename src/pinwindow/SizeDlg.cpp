#include "pinwindow/SizeDlg.h"

#include "base/Trace.h"
#include "desktop/HotKeyExState.h"
#include "pinwindow/PinController.h"

bool CSizeDlg::TestHotKey(unsigned modifiers, unsigned key) {
    trace("Modifiers=%d\n", static_cast<int>(modifiers));
    trace("HotKey = %d\n", static_cast<int>(key));
    const bool registered = m_desktop.registerHotKey(dialogWindow(), kTestHotKeyId, modifiers, key);
    m_desktop.unregisterHotKey(dialogWindow(), kTestHotKeyId);
    return registered;
}

bool CSizeDlg::isCurrent(const std::pair<std::uint16_t, std::uint16_t>& value) const {
    return value.first == static_cast<std::uint16_t>(m_nHotKey) &&
           value.second == static_cast<std::uint16_t>(m_nModifiers);
}

bool CSizeDlg::refusedAsNoPinKey(const std::pair<std::uint16_t, std::uint16_t>& value) {
    // Modifiers pressed and let go alone leave the field with no key, which no press can match.
    if (value.first == 0) {
        (void)m_desktop.appMessageBox(
            u8"キーが入力されていません。Ctrl、Alt、Winのいずれかとキーを組み合わせてください.",
            MsgButtons::ok);
        return true;
    }
    if (!typesText(value.first, value.second)) return false;
    (void)m_desktop.appMessageBox(
        u8"このキーは文字の入力に使われます。Ctrl、Alt、Winのいずれかと組み合わせてください.",
        MsgButtons::ok);
    return true;
}

CSizeOptions CSizeDlg::initialOptions() {
    m_initialOptions = {usesNormalPin(m_nPinSize) ? 1 : 0, allowsDragging(m_bMoveEnable) ? 1 : 0};
    return m_initialOptions;
}

void CSizeDlg::checkDuplicate() {
    const auto [key, modifiers] = shownHotKey();
    // Refused even when it is the current combination (from a hand-edited file).
    if (refusedAsNoPinKey({key, modifiers})) return;
    // The current combination, once registered, is held by Clavora itself, so testing it
    // would always fail; one that did not register is tested like any other.
    if (isCurrent({key, modifiers}) && m_bCurrentRegistered) {
        (void)m_desktop.appMessageBox(u8"現在の設定です。", MsgButtons::ok);
    } else if (TestHotKey(modifiers, key)) {
        m_desktop.appNotice(u8"設定可能です.");
    } else {
        (void)m_desktop.appMessageBox(
            u8"このキーの組み合わせは既に他のアプリケーションで使用されています。他の組み合わせに変更してくだ"
            u8"さい.",
            MsgButtons::ok);
    }
}

bool CSizeDlg::acceptOK() {
    const auto [key, modifiers] = shownHotKey();
    if (refusedAsNoPinKey({key, modifiers})) return false;
    if (!isCurrent({key, modifiers})) {
        if (!TestHotKey(modifiers, key)) {
            (void)m_desktop.appMessageBox(
                u8"HotKey設定は既に他のアプリケーションで使用されています。他の組み合わせに変更してください.",
                MsgButtons::ok);
            return false;
        }
        m_nHotKey = key;
        m_nModifiers = modifiers;
    }
    const CSizeOptions shown = readOptionControls();
    if (shown.pinSizeIndex != m_initialOptions.pinSizeIndex) m_nPinSize = shown.pinSizeIndex;
    if (shown.moveChecked != m_initialOptions.moveChecked) m_bMoveEnable = shown.moveChecked;
    return true;
}
