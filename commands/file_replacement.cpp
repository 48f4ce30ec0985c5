#include "commands/file_replacement.h"

#include <atomic>
#include <cwchar>

namespace lyra {

namespace {

std::atomic<FileWriteFunction> gWrite{&WriteFile};
std::atomic<uint32_t> gTemporaryCount{0};

bool WriteAll(HANDLE file, const uint8_t* bytes, size_t size) {
    FileWriteFunction write = gWrite.load();
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!write(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// A new file beside path, under a name no other file has: the process and
// a count make it unique, and CREATE_NEW never takes over a file that is
// already there.
HANDLE CreateTemporaryBeside(const std::wstring& path, std::wstring* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[40];
        std::swprintf(suffix, 40, L".%lx-%x.tmp", GetCurrentProcessId(), ++gTemporaryCount);
        *temporary = path + suffix;
        HANDLE file = CreateFileW(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileContents(const std::wstring& path, const std::vector<ByteSpan>& pieces) {
    std::wstring temporary;
    HANDLE file = CreateTemporaryBeside(path, &temporary);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = true;
    for (size_t i = 0; i < pieces.size() && written; ++i) written = WriteAll(file, pieces[i].data, pieces[i].size);
    written = written && FlushFileBuffers(file) != 0;
    bool closed = CloseHandle(file) != 0;
    if (written && closed &&
        MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

FileWriteFunction SetFileWriteFunction(FileWriteFunction write) { return gWrite.exchange(write); }

}  // namespace lyra
