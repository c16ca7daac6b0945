#include "common/wide_text.h"

#include <windows.h>

#include <climits>
#include <cstdint>
#include <type_traits>

namespace {
// Every code page Windows runs in, UTF-8 too, keeps ASCII as it is: most
// names need no conversion call (a back-up logs every file by its name).
template <typename Char>
bool AllAscii(const Char* text, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i])) >= 0x80) return false;
    return true;
}

std::wstring WideFrom(UINT codePage, const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    if (AllAscii(text.data(), text.size())) return std::wstring(text.begin(), text.end());
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
    if (n > 0) ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::string NarrowFrom(UINT codePage, const wchar_t* wide, size_t length) {
    if (length == 0 || length > INT_MAX) return std::string();
    if (AllAscii(wide, length)) return std::string(wide, wide + length);
    // UTF-8 takes no flags; the code page takes no look-alikes.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* unknown = codePage == CP_UTF8 ? nullptr : "?";
    const int n = ::WideCharToMultiByte(codePage, flags, wide, static_cast<int>(length), nullptr, 0, unknown, nullptr);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, wide, static_cast<int>(length), &text[0], n, unknown, nullptr);
    return text;
}
}  // namespace

std::wstring WideFromUtf8(const std::string& utf8) { return WideFrom(CP_UTF8, utf8); }
std::string Utf8FromWide(const std::wstring& wide) { return NarrowFrom(CP_UTF8, wide.data(), wide.size()); }
std::string Utf8FromWide(const wchar_t* wide, size_t length) { return NarrowFrom(CP_UTF8, wide, length); }
std::string Utf8FromCodePage(const std::string& text) {
    return AllAscii(text.data(), text.size()) ? text : Utf8FromWide(WideFrom(CP_ACP, text));
}
std::string CodePageFromUtf8(const std::string& utf8) {
    return AllAscii(utf8.data(), utf8.size()) ? utf8 : CodePageFromWide(WideFromUtf8(utf8));
}
std::string CodePageFromWide(const std::wstring& wide) { return NarrowFrom(CP_ACP, wide.data(), wide.size()); }
std::wstring WideFromCodePage(const std::string& text) { return WideFrom(CP_ACP, text); }

bool CodePageFromWideExact(const wchar_t* wide, size_t length, std::string* text) {
    if (length > INT_MAX / 3) return false;
    // At most three bytes a character: one call, no count first.
    text->resize(length * 3);
    if (length == 0) return true;
    // A UTF-8 code page holds every name and takes no flags.
    const bool utf8 = ::GetACP() == CP_UTF8;
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, static_cast<int>(length),
                                        &(*text)[0], static_cast<int>(text->size()), nullptr, utf8 ? nullptr : &lost);
    if (n <= 0 || lost) return false;
    text->resize(static_cast<size_t>(n));
    return true;
}
