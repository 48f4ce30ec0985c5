// Text at the platform boundary: the program's GBK bytes (code page 936)
// to and from the UTF-16 of the wide Win32 functions.
#pragma once

#include <string>

namespace lyra {

constexpr unsigned kGbkCodePage = 936;

std::wstring GbkToWide(const char* text, size_t length);
std::wstring GbkToWide(const char* text);  // null is the empty text
std::string WideToGbk(const wchar_t* text, size_t length);
std::string WideToGbk(const wchar_t* text);

}  // namespace lyra
