#include "sheetjob/dialogs/win32/Win32Platform.h"

#include "sheetjob/common/Console.h"
#include "sheetjob/common/Cp1251.h"
#include "sheetjob/common/SystemText.h"
#include "sheetjob/dialogs/FindFile.h"
#include "sheetjob/dialogs/win32/Templates.h"

#include <windows.h>

#include <shobjidl.h>

#include <cstdlib>

namespace sheetjob::dialogs::win32 {

std::wstring withTrailingSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

namespace {

/// The window a message box or the folder dialog belongs to: the dialog that
/// is running (the active window of this thread), or none.
HWND runningDialog() { return GetActiveWindow(); }

/// The message's lines, separated by carriage returns, as the lines of a box.
std::wstring boxText(const std::string& cp1251) {
    std::wstring text;
    for (const wchar_t c : fromCp1251(cp1251)) {
        if (c == L'\r')
            text += L"\r\n";
        else
            text += c;
    }
    return text;
}

/// A COM interface pointer released when it goes.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_ != nullptr)
            p_->Release();
    }
    T* operator->() const { return p_; }
    T** out() { return &p_; }
    [[nodiscard]] T* get() const { return p_; }

  private:
    T* p_ = nullptr;
};

/// The system's folder dialog ("Select Folder"); the chosen folder, or nothing.
std::optional<std::wstring> pickFolder(const OpenFileRequest& request, HWND owner) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.out()))))
        return std::nullopt;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    // The working directory is left alone; the caller restores it all the same.
    options |= FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_NOCHANGEDIR;
    if (request.pathMustExist)
        options |= FOS_PATHMUSTEXIST;
    dialog->SetOptions(options);
    dialog->SetTitle(fromCp1251(request.caption).c_str());
    ComPtr<IShellItem> start;
    if (!request.initialDirectory.empty() &&
        SUCCEEDED(SHCreateItemFromParsingName(fromCp1251(request.initialDirectory).c_str(), nullptr,
                                              IID_PPV_ARGS(start.out()))))
        dialog->SetFolder(start.get());
    if (FAILED(dialog->Show(owner)))
        return std::nullopt; // cancelled
    ComPtr<IShellItem> chosen;
    if (FAILED(dialog->GetResult(chosen.out())))
        return std::nullopt;
    wchar_t* path = nullptr;
    if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)))
        return std::nullopt;
    std::wstring folder(path);
    CoTaskMemFree(path);
    return folder;
}

} // namespace

std::unique_ptr<Dialog> Win32Platform::createDialog(int templateId, Dialog* owner) {
    auto* parent = dynamic_cast<Win32Dialog*>(owner);
    return createTemplate(templateId, parent != nullptr ? parent->window() : nullptr);
}

void Win32Platform::messageBox(const std::string& text, const std::string& caption,
                               MessageIcon icon) {
    UINT type = MB_OK | MB_ICONEXCLAMATION;
    if (icon == MessageIcon::Stop)
        type = MB_OK | MB_ICONSTOP;
    else if (icon == MessageIcon::Information)
        type = MB_OK | MB_ICONINFORMATION;
    const HWND owner = runningDialog();
    // Without a dialog (the outcome of the run) the box comes to the front itself.
    if (owner == nullptr)
        type |= MB_TASKMODAL | MB_SETFOREGROUND;
    MessageBoxW(owner, boxText(text).c_str(), fromCp1251(caption).c_str(), type);
}

void Win32Platform::consoleLine(const std::string& line) {
    common::standardError() << common::cp1251ToUtf8(line) << '\n';
}

void Win32Platform::endProgram(int exitCode) {
    common::standardError().flush();
    std::exit(exitCode);
}

std::optional<std::string> Win32Platform::openFile(const OpenFileRequest& request) {
    const auto picked = pickFolder(request, runningDialog());
    if (!picked || picked->empty())
        return std::nullopt;
    const auto utf8 = common::fromWide(withTrailingSeparator(*picked));
    return jobFolder(*this, utf8 ? std::optional<std::string_view>(*utf8) : std::nullopt,
                     request.caption);
}

std::string Win32Platform::currentDirectory() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    savedDirectory_.assign(length, L'\0');
    savedDirectory_.resize(GetCurrentDirectoryW(length, savedDirectory_.data()));
    return toCp1251(savedDirectory_);
}

void Win32Platform::setCurrentDirectory(const std::string& path) {
    // Restore the exact directory last asked for, even when its name does not
    // survive the round trip through Windows-1251.
    if (!savedDirectory_.empty() && path == toCp1251(savedDirectory_))
        SetCurrentDirectoryW(savedDirectory_.c_str());
    else
        SetCurrentDirectoryW(fromCp1251(path).c_str());
}

} // namespace sheetjob::dialogs::win32
