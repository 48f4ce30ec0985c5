#include "commands/ui_commands.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/command_arguments.h"
#include "commands/file_replacement.h"
#include "commands/libraries.h"
#include "commands/value_text.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/request_codes.h"

namespace lyra {

namespace {

// A movable global block holding a copy of the bytes, or null.
HGLOBAL GlobalCopy(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block == nullptr) return nullptr;
    void* target = GlobalLock(block);
    if (target == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block);
    return block;
}

// Hands the block to the clipboard, which then owns it; frees it on failure.
bool PutOnClipboard(UINT format, HGLOBAL block) {
    if (block == nullptr) return false;
    if (SetClipboardData(format, block) != nullptr) return true;
    GlobalFree(block);
    return false;
}

// The file system's name of a file given by a GBK name: a relative name
// lies in the program's folder, named in UTF-16 since its name need not be
// GBK. A path too long for the plain form takes the "\\?\" form.
std::wstring FileSystemPath(const char* name) {
    std::wstring path = GbkToWide(name);
    bool relative = path[0] != L'\\' && path[0] != L'/' && !(path.size() > 1 && path[1] == L':');
    RequestFunction request = CoreRequest();
    const auto* folder = request != nullptr ? reinterpret_cast<const wchar_t*>(request(kRequestProgramDirectoryWide, 0, 0)) : nullptr;
    if (relative && folder != nullptr && folder[0] != 0) path = std::wstring(folder) + L"\\" + path;
    // Room for the temporary file's longer name beside it.
    constexpr size_t kTemporarySuffix = 32;
    if (path.size() + kTemporarySuffix < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return path;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, &full[0], nullptr);
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

}  // namespace

void ShowMessageBox(ValueRecord* result, int32_t count, ValueRecord* args) {
    const ValueRecord* content = ArgumentAt(count, args, 0);
    std::wstring text;
    if (content != nullptr && content->type == kTypeText) {
        text = GbkToWide(TextArgument(count, args, 0));
    } else if (content != nullptr) {
        char* converted = ScalarValueText(*content);
        text = GbkToWide(converted);
        FreeMemory(converted);
    }
    const ValueRecord* titleArg = ArgumentAt(count, args, 2);
    const char* title = titleArg != nullptr && titleArg->type == kTypeText ? TextArgument(count, args, 2) : "信息：";
    UINT flags = DataWordArgument(count, args, 1);
    if ((flags & MB_SYSTEMMODAL) == 0) flags |= MB_TASKMODAL;

    // The box has no owner, so nothing hands the activation back when it
    // closes: the window that was active on this thread takes it back, and
    // with it the focus it had.
    HWND active = GetActiveWindow();
    int answer = MessageBoxW(nullptr, text.c_str(), GbkToWide(title).c_str(), flags);
    if (active != nullptr && IsWindow(active) && IsWindowVisible(active) && IsWindowEnabled(active) &&
        GetActiveWindow() != active) {
        SetForegroundWindow(active);
        SetActiveWindow(active);
    }
    SetIntResult(result, answer >= IDOK && answer <= IDNO ? answer - IDOK : 0);
}

void SetClipboardText(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* text = TextArgument(count, args, 0);
    if (!OpenClipboard(nullptr)) {
        SetBoolResult(result, false);
        return;
    }
    EmptyClipboard();
    // CF_TEXT carries the GBK bytes as they are. Without a CF_UNICODETEXT of
    // our own the system would derive one through its ANSI code page.
    bool placed = PutOnClipboard(CF_TEXT, GlobalCopy(text, std::strlen(text) + 1));
    if (placed) {
        std::wstring wide = GbkToWide(text);
        PutOnClipboard(CF_UNICODETEXT, GlobalCopy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)));
    }
    CloseClipboard();
    SetBoolResult(result, placed);
}

void RunDirectory(ValueRecord* result, int32_t, ValueRecord*) {
    RequestFunction request = CoreRequest();
    const char* directory = request != nullptr ? reinterpret_cast<const char*>(request(kRequestProgramDirectory, 0, 0)) : nullptr;
    SetPointerResult(result, MakeText(directory));
}

void WriteFileBytes(ValueRecord* result, int32_t count, ValueRecord* args) {
    const char* name = TextArgument(count, args, 0);
    bool usable = name[0] != 0;
    // Data that is not a byte set is a wrong call: no file is touched.
    for (int32_t i = 1; i < count && usable; ++i) usable = !IsPresent(args[i]) || args[i].type == kTypeByteSet;
    if (!usable) {
        SetBoolResult(result, false);
        return;
    }
    std::vector<ByteSpan> pieces;
    for (int32_t i = 1; i < count; ++i) pieces.push_back(ByteSetArgument(count, args, i));
    SetBoolResult(result, ReplaceFileContents(FileSystemPath(name), pieces));
}

}  // namespace lyra
