#include <windows.h>

#include "runtime/gbk.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace lyra {

namespace {

bool Accepts(const WIN32_FIND_DATAW& entry, uint32_t filter, bool anyNonDirectory) {
    if (anyNonDirectory) return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (filter == 0) return entry.dwFileAttributes == 0;
    return (entry.dwFileAttributes & filter) != 0;
}

}  // namespace

char* SearchFiles(const char* pattern, uint32_t attributeMask, bool anyNonDirectory, intptr_t* searchHandle) {
    uint32_t filter = attributeMask & 0x37;
    HANDLE search = reinterpret_cast<HANDLE>(*searchHandle);
    WIN32_FIND_DATAW entry;
    bool found;
    if (pattern != nullptr && pattern[0] != 0) {
        if (search != nullptr) FindClose(search);
        search = FindFirstFileW(GbkToWide(pattern).c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) search = nullptr;
        found = search != nullptr;
    } else {
        found = search != nullptr && FindNextFileW(search, &entry);
    }
    while (found && !Accepts(entry, filter, anyNonDirectory)) found = FindNextFileW(search, &entry) != 0;
    char* result = nullptr;
    if (found) {
        result = MakeText(WideToGbk(entry.cFileName).c_str());
    } else if (search != nullptr) {
        FindClose(search);
        search = nullptr;
    }
    *searchHandle = reinterpret_cast<intptr_t>(search);
    return result;
}

void EndFileSearch(intptr_t searchHandle) {
    if (searchHandle != 0) FindClose(reinterpret_cast<HANDLE>(searchHandle));
}

}  // namespace lyra
