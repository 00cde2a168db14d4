#include "sheetjob/dialogs/win32/Win32Dialog.h"

#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/SystemText.h"

#include <stdexcept>

namespace sheetjob::dialogs::win32 {

std::wstring fromCp1251(std::string_view text) {
    return common::toWide(common::cp1251ToUtf8(text));
}

std::string toCp1251(std::wstring_view text) {
    if (auto utf8 = common::fromWide(text))
        if (auto whole = common::utf8ToCp1251(*utf8))
            return *whole;
    std::string out;
    for (const wchar_t c : text) {
        const auto byte = common::cp1251ByteOf(static_cast<char32_t>(c));
        out += byte && (c < 0xD800 || c > 0xDFFF) ? *byte : '?';
    }
    return out;
}

namespace {

HINSTANCE thisModule() { return GetModuleHandleW(nullptr); }

// The program's icon among its resources.
constexpr WORD kIconId = 1;

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isComboBox(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0;
}

} // namespace

Win32Dialog::Win32Dialog(int templateId, const std::vector<unsigned char>& dialogTemplate,
                         HWND owner, OwnerDraw draw)
    : templateId_(templateId), draw_(draw) {
    window_ = CreateDialogIndirectParamW(
        thisModule(), reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner,
        &Win32Dialog::procedure, reinterpret_cast<LPARAM>(this));
    if (window_ == nullptr)
        throw std::runtime_error("dialog " + std::to_string(templateId) +
                                 " cannot be made: " + common::systemErrorText(GetLastError()));
    // The program's icon in the caption bar and the taskbar (the dialogs are
    // the program's only windows).
    for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
        const int side = GetSystemMetrics(metric);
        if (const HANDLE icon = LoadImageW(thisModule(), MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                           side, side, LR_SHARED))
            SendMessageW(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

Win32Dialog::~Win32Dialog() {
    // The owner is enabled before this one goes, so that it takes the focus back.
    if (const HWND owner = GetWindow(window_, GW_OWNER))
        EnableWindow(owner, TRUE);
    DestroyWindow(window_);
    for (HFONT font : fonts_)
        DeleteObject(font);
}

void Win32Dialog::setControlFont(const std::vector<int>& ids, HFONT font) {
    fonts_.push_back(font);
    for (const int id : ids)
        SendDlgItemMessageW(window_, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

INT_PTR CALLBACK Win32Dialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        return FALSE; // the focus is set when the dialog is run
    }
    auto* self = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (self == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND:
        return self->command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE: // the close box: as Cancel
        self->result_ = kIdCancel;
        return TRUE;
    case WM_DRAWITEM:
        if (self->draw_ != nullptr) {
            self->draw_(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

bool Win32Dialog::command(int id, int code) {
    if (id == IDOK || id == IDCANCEL) {
        // Enter on no button and Escape come as BN_CLICKED of these ids too.
        if (code == BN_CLICKED)
            result_ = id == IDOK ? kIdOk : kIdCancel;
        return true;
    }
    const auto it = callbacks_.find(id);
    if (it == callbacks_.end())
        return false;
    ControlEvent event;
    if (code == CBN_SELCHANGE && isComboBox(control(id)))
        event = ControlEvent::SelectionChange;
    else if (code == BN_CLICKED && !isComboBox(control(id)))
        event = ControlEvent::Click;
    else
        return false;
    // A copy: the callback may replace itself.
    const ControlCallback callback = it->second;
    callback(*this, id, event);
    return true;
}

void Win32Dialog::setItemCount(int id, int count) {
    const HWND combo = control(id);
    if (combo == nullptr)
        return;
    const auto keep = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    auto now = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (; now < count; ++now)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
    for (; now > count; --now)
        SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(now - 1), 0);
    SendMessageW(combo, CB_SETCURSEL, keep >= 0 && keep < count ? keep : -1, 0);
}

void Win32Dialog::setItemText(int id, int index, const std::string& text) {
    const HWND combo = control(id);
    if (combo == nullptr || index < 1 || index > SendMessageW(combo, CB_GETCOUNT, 0, 0))
        return;
    // A list item is replaced by deleting and inserting it; the selection stays.
    const auto keep = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const std::wstring wide = fromCp1251(text);
    SendMessageW(combo, CB_DELETESTRING, static_cast<WPARAM>(index - 1), 0);
    SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(index - 1),
                 reinterpret_cast<LPARAM>(wide.c_str()));
    SendMessageW(combo, CB_SETCURSEL, keep, 0);
}

void Win32Dialog::setSelected(int id, int index) {
    // CB_SETCURSEL sends no notification: programmatic changes fire no callback.
    if (const HWND combo = control(id)) {
        const auto count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
        SendMessageW(combo, CB_SETCURSEL, index >= 1 && index <= count ? index - 1 : -1, 0);
    }
}

int Win32Dialog::selected(int id) const {
    const HWND combo = control(id);
    return combo == nullptr ? 0 : static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)) + 1;
}

void Win32Dialog::setChecked(int id, bool checked) {
    CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Win32Dialog::checked(int id) const { return IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Win32Dialog::setEnabled(int id, bool enabled) {
    if (const HWND c = control(id)) {
        // A control that loses its state with the focus hands the focus on.
        if (!enabled && GetFocus() == c)
            SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
        EnableWindow(c, enabled ? TRUE : FALSE);
    }
}

void Win32Dialog::setText(int id, const std::string& text) {
    SetDlgItemTextW(window_, id, fromCp1251(text).c_str());
}

std::string Win32Dialog::text(int id) const {
    const HWND c = control(id);
    return c == nullptr ? std::string() : toCp1251(windowText(c));
}

void Win32Dialog::attach(int id, ControlCallback callback) { callbacks_[id] = std::move(callback); }

void Win32Dialog::focusFirstTabStop() {
    for (HWND c = GetWindow(window_, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG_PTR style = GetWindowLongPtrW(c, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && IsWindowEnabled(c) && IsWindowVisible(c)) {
            SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
            return;
        }
    }
}

int Win32Dialog::runModal() {
    // The owner stays disabled, and this dialog shown, until the dialog goes:
    // a message about its values then stands in front of it, and a dialog run
    // again comes back as it was left.
    if (const HWND owner = GetWindow(window_, GW_OWNER))
        EnableWindow(owner, FALSE);
    if (!IsWindowVisible(window_))
        ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    focusFirstTabStop();
    result_ = 0;
    MSG message{};
    while (result_ == 0) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) { // the program is asked to end: the dialog is cancelled
            if (got == 0)
                PostQuitMessage(static_cast<int>(message.wParam));
            result_ = kIdCancel;
            break;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return result_ == kIdOk ? kIdOk : kIdCancel;
}

} // namespace sheetjob::dialogs::win32
