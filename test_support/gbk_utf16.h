// GBK bytes as code page 936 turns them into UTF-16, for host code that
// feeds the program's own regular expressions (tests and benchmarks).
#pragma once

#include <iconv.h>

#include <string>

namespace lyra::test {

// ok, when given, tells whether every byte converted.
inline std::u16string Utf16FromGbk(const std::string& bytes, bool* ok = nullptr) {
    iconv_t convert = iconv_open("UTF-16LE", "GBK");
    std::u16string out(bytes.size(), u'\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* to = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * sizeof(char16_t);
    const size_t converted = iconv(convert, &in, &inLeft, &to, &outLeft);
    iconv_close(convert);
    if (ok != nullptr) *ok = converted != static_cast<size_t>(-1);
    out.resize(out.size() - outLeft / sizeof(char16_t));
    return out;
}

}  // namespace lyra::test
