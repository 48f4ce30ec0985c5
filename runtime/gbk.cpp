#include "runtime/gbk.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace lyra {

std::wstring GbkToWide(const char* text, size_t length) {
    if (text == nullptr || length == 0) return std::wstring();
    int needed = MultiByteToWideChar(kGbkCodePage, 0, text, static_cast<int>(length), nullptr, 0);
    if (needed <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, text, static_cast<int>(length), &wide[0], needed);
    return wide;
}

std::wstring GbkToWide(const char* text) { return GbkToWide(text, text ? std::strlen(text) : 0); }

std::string WideToGbk(const wchar_t* text, size_t length) {
    if (text == nullptr || length == 0) return std::string();
    int needed = WideCharToMultiByte(kGbkCodePage, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string gbk(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(kGbkCodePage, 0, text, static_cast<int>(length), &gbk[0], needed, nullptr, nullptr);
    return gbk;
}

std::string WideToGbk(const wchar_t* text) { return WideToGbk(text, text ? std::wcslen(text) : 0); }

}  // namespace lyra
