// Writing a file so that it is always either its old self or wholly the new
// bytes: the bytes go to a temporary file beside it, which is flushed and
// then takes its place. Names are the file system's own, in UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "commands/command_arguments.h"

namespace lyra {

// False on any failure; the old file (if any) is then untouched and no
// temporary file is left.
bool ReplaceFileContents(const std::wstring& path, const std::vector<ByteSpan>& pieces);

// The write call ReplaceFileContents makes (WriteFile unless replaced); a
// test puts one in its place that fails on demand. Answers the old one.
using FileWriteFunction = BOOL(WINAPI*)(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written,
                                        LPOVERLAPPED overlapped);
FileWriteFunction SetFileWriteFunction(FileWriteFunction write);

}  // namespace lyra
