#pragma once
// A Win32 dialog made from an in-memory dialog template that exposes its
// controls by integer id through the dialog logic's control interface. Texts
// cross the edge as Windows-1251 and reach the window as UTF-16.

#include "sheetjob/dialogs/Controls.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace sheetjob::dialogs::win32 {

/// Windows-1251 text to UTF-16.
std::wstring fromCp1251(std::string_view text);
/// UTF-16 to Windows-1251; a character the code page lacks becomes "?", so a
/// field holding one reads as malformed instead of as some other value.
std::string toCp1251(std::wstring_view text);

/// Draws a control of its owner (the start screen's picture).
using OwnerDraw = void (*)(const DRAWITEMSTRUCT& item);

class Win32Dialog : public Dialog {
  public:
    /// Creates the dialog, hidden, from the template bytes, owned by `owner`
    /// (disabled while this one runs). `draw` paints its owner-drawn controls.
    Win32Dialog(int templateId, const std::vector<unsigned char>& dialogTemplate, HWND owner,
                OwnerDraw draw = nullptr);
    ~Win32Dialog() override;
    Win32Dialog(const Win32Dialog&) = delete;
    Win32Dialog& operator=(const Win32Dialog&) = delete;

    [[nodiscard]] HWND window() const { return window_; }
    [[nodiscard]] int templateId() const { return templateId_; }
    /// The control of an id (null when the dialog has none).
    [[nodiscard]] HWND control(int id) const { return GetDlgItem(window_, id); }
    /// Sets the font of the controls of these ids (the dialog owns the font).
    void setControlFont(const std::vector<int>& ids, HFONT font);

    // Dialog
    void setItemCount(int id, int count) override;
    void setItemText(int id, int index, const std::string& text) override;
    void setSelected(int id, int index) override;
    [[nodiscard]] int selected(int id) const override;
    void setChecked(int id, bool checked) override;
    [[nodiscard]] bool checked(int id) const override;
    void setEnabled(int id, bool enabled) override;
    void setText(int id, const std::string& text) override;
    [[nodiscard]] std::string text(int id) const override;
    void attach(int id, ControlCallback callback) override;
    /// Shows the dialog and runs its own message loop until OK, Cancel, Escape
    /// or the window's close box. The dialog stays shown, and its owner
    /// disabled, until the dialog goes. The keyboard is the system's dialog
    /// keyboard: Tab through the editable controls, Enter presses the focused
    /// button (OK from anywhere else), Escape cancels.
    int runModal() override;

  private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool command(int id, int code);
    void focusFirstTabStop();

    int templateId_;
    HWND window_ = nullptr;
    OwnerDraw draw_;
    int result_ = 0; ///< the closing button of the current run; 0 while it runs
    std::map<int, ControlCallback> callbacks_;
    std::vector<HFONT> fonts_;
};

} // namespace sheetjob::dialogs::win32
