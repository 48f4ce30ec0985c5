// Texts between the program's GBK, the window's UTF-16 and a report's UTF-8,
// and files read as they lie on disk.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lyra::test {

std::wstring FromGbk(const std::string& bytes);
std::string Utf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

// The whole file as it lies on disk; empty when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);
// Its lines, without their line ends.
std::vector<std::string> ReadLines(const std::wstring& path);
// A fresh empty file in the temporary folder.
std::wstring TempFilePath(const wchar_t* prefix);

}  // namespace lyra::test
