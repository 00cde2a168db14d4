#include "sheetjob/common/SystemText.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace sheetjob::common {

std::string errorText(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category())
        return systemErrorText(static_cast<unsigned long>(error.value()));
#endif
    return error.message();
}

#ifdef _WIN32

std::wstring toWide(std::string_view utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> fromWide(std::wstring_view wide) {
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size,
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size, utf8.data(), length,
                        nullptr, nullptr);
    return utf8;
}

std::string systemErrorText(unsigned long error) {
    constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                             FORMAT_MESSAGE_ALLOCATE_BUFFER;
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(kFlags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) // no English texts installed: the system's own language
        length = FormatMessageW(kFlags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0,
                                nullptr);
    std::wstring line = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r' ||
                             line.back() == L' ' || line.back() == L'.'))
        line.pop_back();
    for (wchar_t& c : line)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    auto utf8 = fromWide(line);
    if (!utf8 || utf8->empty())
        return "system error " + std::to_string(error);
    return *utf8;
}

#endif

} // namespace sheetjob::common
