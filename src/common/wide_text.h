// Names from the disk as the wide-character calls give them, and the
// program's own texts. The back-up keeps such names in UTF-8; the run log
// and the message boxes take code-page text, in which a character the code
// page cannot hold shows as "?" and is never replaced by a look-alike.
#pragma once

#include <string>

std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
std::string Utf8FromWide(const wchar_t* wide, size_t length);

// Code page (ANSI) and UTF-8 each way.
std::string Utf8FromCodePage(const std::string& text);
std::string CodePageFromUtf8(const std::string& utf8);
std::string CodePageFromWide(const std::wstring& wide);
std::wstring WideFromCodePage(const std::string& text);

// The text in the code page into *text, reusing its memory; false (and
// *text undefined) when the code page cannot hold every character of it:
// such a name cannot be opened by its code-page text at all.
bool CodePageFromWideExact(const wchar_t* wide, size_t length, std::string* text);
