// The command tables and calling convention, the desktop commands (message
// boxes, clipboard, run directory, file writing) and the thread library.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "commands/file_replacement.h"
#include "commands/libraries.h"
#include "commands/list_view_commands.h"
#include "commands/text_commands.h"
#include "commands/thread_library.h"
#include "commands/ui_commands.h"
#include "runtime/gbk.h"
#include "runtime/memory.h"
#include "runtime/runtime_app.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"
#include "runtime/window_layer.h"
#include "test_support/clipboard_manager.h"
#include "test_support/text_files.h"
#include "test_support/waits.h"
#include "test_support/window_search.h"

namespace lyra {

namespace test {
namespace {

ValueRecord Absent() { return EmptyRecord(); }

ValueRecord Call(CommandFunction command, std::vector<ValueRecord> args) {
    ValueRecord result = CallCoreCommand(command, static_cast<int32_t>(args.size()), args.data());
    EXPECT_EQ(result.type, 0u);
    return result;
}

std::string TakeText(ValueRecord result) {
    char* text = static_cast<char*>(RecordPointer(result));
    std::string copy = text != nullptr ? text : "";
    FreeMemory(text);
    return copy;
}

// ---- Tables and calling convention ----

TEST(CommandTables, CoreSlotsHoldTheirCommandsByCatalogueIndex) {
    const CommandFunction expected[25] = {
        &ToText,         &FindText,        &TrimSpaces,   &CharFromCode,    &BitOr,          &TextLeft,
        &ToLowerCase,    &LengthOfText,    &ToBytes,      &BytesLength,     &BlankBytes,     &BytesLeft,
        &BlankText,      &SplitText,       &ReplaceSubtext, &TextMid,       &TextRight,      &FindTextReverse,
        &ToInteger,      &RemoveAllSpaces, &ShowMessageBox, &SetClipboardText, &ToFloat,     &RunDirectory,
        &WriteFileBytes,
    };
    ASSERT_EQ(kCoreLibraryRecord.commandCount, 38u);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(kCoreLibraryRecord.commandTable[i], expected[i]) << "slot " << i;
    const CommandFunction listCommands[7] = {&ClearRows,   &InsertRow,   &SetCellText,   &GetCellText,
                                             &GetRowCount, &GetRowTexts, &GetAllRowTexts};
    ASSERT_EQ(kUiLibrary1Record.commandCount, 7u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(kUiLibrary1Record.commandTable[i], listCommands[i]) << "slot " << i;
    EXPECT_EQ(kUiLibrary2Record.commandCount, 0u);
    ASSERT_EQ(kThreadLibraryRecord.commandCount, 1u);
    EXPECT_EQ(kThreadLibraryRecord.commandTable[0], &LaunchThread);
}

TEST(CommandTables, BothServicesPassArgumentsAndHandBackTheResultWords) {
    ValueRecord args[3] = {TextArg("a,b"), Absent(), Absent()};
    ValueRecord length = kServices.CallCoreCommand(kCoreLibraryRecord.commandTable[7], 1, args);
    EXPECT_EQ(LowWord(length), 3u);
    EXPECT_EQ(HighWord(length), 0u);
    EXPECT_EQ(length.type, 0u);

    ValueRecord split = kServices.CallLibraryCommand(kCoreLibrary, &SplitText, 3, args);
    void* array = RecordPointer(split);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(ArrayElementCount(array), 2u) << "an absent delimiter is a comma";
    FreeArray(kTypeText | kArrayFlag, array);
}

// ---- Run directory ----

intptr_t FakeRequest(int code, intptr_t, intptr_t) {
    static const char kDirectory[] = "C:\\程序\\目录";
    return code == 2003 ? reinterpret_cast<intptr_t>(kDirectory) : 0;
}

TEST(RunDirectory, CopiesTheTextOfRequest2003) {
    ASSERT_EQ(kCoreLibraryRecord.notify(1, reinterpret_cast<intptr_t>(&FakeRequest), 0), 0);
    EXPECT_EQ(TakeText(Call(&RunDirectory, {})), "C:\\程序\\目录");

    ASSERT_EQ(kCoreLibraryRecord.notify(1, reinterpret_cast<intptr_t>(&RuntimeRequest), 0), 0);
    Runtime().programDirectory = "Z:\\lyrabox";
    ValueRecord result = Call(&RunDirectory, {});
    EXPECT_NE(RecordPointer(result), static_cast<const void*>(Runtime().programDirectory.c_str())) << "a new copy";
    EXPECT_EQ(TakeText(result), "Z:\\lyrabox");
    Runtime().programDirectory.clear();
    EXPECT_EQ(RecordPointer(Call(&RunDirectory, {})), nullptr) << "empty is null";
}

// ---- Clipboard ----

std::string ClipboardAnsi() {
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return "<none>";
    std::string text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
    return text;
}

std::wstring ClipboardWide() {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return L"<none>";
    std::wstring text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
    return text;
}

// A copy made before Wine's clipboard manager has started would be emptied
// under the test's feet when it starts.
class Clipboard : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WaitForClipboardManager(20000)) << "Wine's clipboard manager"; }
};

TEST_F(Clipboard, BothFormatsCarryTheText) {
    ValueRecord result = Call(&SetClipboardText, {TextArg("中文 abc")});
    EXPECT_EQ(LowWord(result), 1u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(ClipboardAnsi(), "中文 abc") << "CF_TEXT holds the GBK bytes";
    EXPECT_EQ(ClipboardWide(), L"中文 abc") << "CF_UNICODETEXT converted from code page 936";
    CloseClipboard();
}

TEST_F(Clipboard, EmptyTextLeavesEmptyItems) {
    Call(&SetClipboardText, {TextArg("before")});
    ValueRecord result = Call(&SetClipboardText, {TextArg("")});
    EXPECT_EQ(LowWord(result), 1u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(ClipboardAnsi(), "");
    EXPECT_EQ(ClipboardWide(), L"");
    CloseClipboard();
}

TEST_F(Clipboard, FailsWhileAnotherThreadHoldsItOpen) {
    Call(&SetClipboardText, {TextArg("kept")});
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> holderOpened{false};
    // The holder opens the clipboard for a window: two threads opening it
    // for no window at all are not told apart.
    std::thread holder([&] {
        HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        holderOpened = OpenClipboard(owner) != 0;
        SetEvent(opened);
        WaitForSingleObject(release, 30000);
        if (holderOpened) CloseClipboard();
        DestroyWindow(owner);
    });
    WaitForSingleObject(opened, 30000);
    ASSERT_TRUE(holderOpened.load());
    ValueRecord result = Call(&SetClipboardText, {TextArg("lost")});
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(LowWord(result), 0u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(ClipboardAnsi(), "kept");
    CloseClipboard();
}

// ---- Message boxes ----

struct SeenBox {
    bool found = false;
    std::wstring text;
    LONG exStyle = 0;
    bool probeEnabled = true;
};

BOOL CALLBACK CloseProcessBoxes(HWND window, LPARAM) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16];
    GetClassNameW(window, className, 16);
    if (owner == GetCurrentProcessId() && lstrcmpW(className, L"#32770") == 0) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Shows a box through the command on this thread while a watcher finds it by
// its caption, records it and answers with the message given.
int32_t ShowAndAnswer(std::vector<ValueRecord> args, const wchar_t* caption, UINT message, WPARAM wParam,
                      SeenBox* seen, HWND probe = nullptr) {
    std::thread watcher([=] {
        HWND box = nullptr;
        seen->found = WaitFor(
            [&] { return (box = FindTopLevel(GetCurrentProcessId(), L"#32770", caption)) != nullptr; }, 20000);
        if (!seen->found) {
            EnumWindows(&CloseProcessBoxes, 0);  // never leave the test hanging in a box
            return;
        }
        seen->text = MessageBoxText(box);  // set before the box became visible
        seen->exStyle = GetWindowLongW(box, GWL_EXSTYLE);
        if (probe != nullptr) seen->probeEnabled = IsWindowEnabled(probe) != 0;
        PostMessageW(box, message, wParam, 0);
    });
    ValueRecord result = Call(&ShowMessageBox, std::move(args));
    watcher.join();
    return RecordInt(result);
}

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        probe_ = CreateWindowExW(0, L"STATIC", L"probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(probe_, nullptr);
    }
    void TearDown() override { DestroyWindow(probe_); }
    HWND probe_ = nullptr;
};

TEST_F(MessageBoxes, OkCancelAnswersAndTaskModality) {
    SeenBox seen;
    ValueRecord flags = IntArg(65);
    EXPECT_EQ(ShowAndAnswer({TextArg("确定吗？"), flags, TextArg("标题")}, L"标题", WM_COMMAND, IDOK, &seen, probe_), 0);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"确定吗？");
    EXPECT_FALSE(seen.probeEnabled) << "task-modal: the thread's windows are disabled while the box is up";
    EXPECT_TRUE(IsWindowEnabled(probe_)) << "and enabled again afterwards";

    EXPECT_EQ(ShowAndAnswer({TextArg("a"), flags, TextArg("标题")}, L"标题", WM_COMMAND, IDCANCEL, &seen), 1);
    EXPECT_EQ(ShowAndAnswer({TextArg("a"), flags, TextArg("标题")}, L"标题", WM_CLOSE, 0, &seen), 1)
        << "closing the box is Cancel";
}

TEST_F(MessageBoxes, YesNoAnswersMapBelowTheirIds) {
    SeenBox seen;
    ValueRecord yesNo = IntArg(MB_YESNO);
    EXPECT_EQ(ShowAndAnswer({TextArg("?"), yesNo, TextArg("yn")}, L"yn", WM_COMMAND, IDYES, &seen), 5);
    EXPECT_EQ(ShowAndAnswer({TextArg("?"), yesNo, TextArg("yn")}, L"yn", WM_COMMAND, IDNO, &seen), 6);
    ValueRecord retry = IntArg(MB_ABORTRETRYIGNORE);
    EXPECT_EQ(ShowAndAnswer({TextArg("?"), retry, TextArg("ari")}, L"ari", WM_COMMAND, IDRETRY, &seen), 3);
}

TEST_F(MessageBoxes, ContentIsConvertedAndTheTitleDefaults) {
    SeenBox seen;
    ValueRecord flags = IntArg(64);
    EXPECT_EQ(ShowAndAnswer({IntArg(12), flags, Absent()}, L"信息：", WM_COMMAND, IDOK, &seen), 0);
    ASSERT_TRUE(seen.found) << "the default title";
    EXPECT_EQ(seen.text, L"12");
    ShowAndAnswer({BoolArg(true), flags, Absent()}, L"信息：", WM_COMMAND, IDOK, &seen);
    EXPECT_EQ(seen.text, L"真");
    ShowAndAnswer({DoubleArg(0.1), flags}, L"信息：", WM_COMMAND, IDOK, &seen);
    EXPECT_EQ(seen.text, L"0.1");
    uint8_t byteSet[11] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
    ShowAndAnswer({PointerArg(byteSet, kTypeByteSet), flags}, L"信息：", WM_COMMAND, IDOK, &seen);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, L"") << "a byte set shows an empty message";
}

TEST_F(MessageBoxes, SystemModalBoxIsNotMadeTaskModal) {
    SeenBox seen;
    ValueRecord flags = IntArg(MB_SYSTEMMODAL | 64);
    EXPECT_EQ(ShowAndAnswer({TextArg("sys"), flags, TextArg("sm")}, L"sm", WM_COMMAND, IDOK, &seen, probe_), 0);
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(seen.probeEnabled);
    EXPECT_NE(seen.exStyle & WS_EX_TOPMOST, 0);
}

// ---- Writing files ----

// The names in a folder, "." and ".." left out.
std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a folder with whatever files and folders it holds.
void RemoveFolder(const std::wstring& folder) {
    for (const std::wstring& name : FilesIn(folder)) {
        std::wstring path = folder + L"\\" + name;
        if (GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) RemoveFolder(path);
        else DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
}

class WriteFiles : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"lyrabox_写入测试";
        RemoveFolder(L"\\\\?\\" + folder_);
        CreateDirectoryW(folder_.c_str(), nullptr);
        path_ = folder_ + L"\\歌单.txt";
        gbkPath_ = WideToGbk(path_.c_str());
    }
    void TearDown() override {
        Runtime().programDirectoryWide.clear();
        RemoveFolder(L"\\\\?\\" + folder_);
    }

    void Put(const std::string& bytes) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring folder_;
    std::wstring path_;
    std::string gbkPath_;
};

struct HeapByteSet {
    explicit HeapByteSet(const std::string& bytes) : block(MakeByteSet(bytes.data(), bytes.size())) {}
    ~HeapByteSet() { FreeMemory(block); }
    ValueRecord Arg() const { return PointerArg(block, kTypeByteSet); }
    void* block;
};

TEST_F(WriteFiles, OverwritesALongerFileWithExactlyTheNewBytes) {
    Put("0123456789");
    HeapByteSet first("abc"), second("de");
    ValueRecord result = Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), first.Arg(), second.Arg()});
    EXPECT_EQ(LowWord(result), 1u);
    EXPECT_EQ(ReadFileBytes(path_), "abcde") << "the Chinese name reached the file system intact";
}

TEST_F(WriteFiles, EmptyByteSetsTruncate) {
    Put("0123456789");
    ValueRecord result = Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), PointerArg(nullptr, kTypeByteSet)});
    EXPECT_EQ(LowWord(result), 1u);
    EXPECT_EQ(GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(ReadFileBytes(path_), "");
}

TEST_F(WriteFiles, FailsOnAnEmptyNameAMissingFolderOrAFileHeldOpen) {
    HeapByteSet bytes("x");
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(""), bytes.Arg()})), 0u);
    std::string missing = gbkPath_ + "\\none\\file.txt";
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(missing.c_str()), bytes.Arg()})), 0u);

    Put("kept");
    HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), bytes.Arg()})), 0u);
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(path_), "kept");
}

// Writes the first bytes it is given, then fails as a full disk does.
int gWritesBeforeFailing = 0;
BOOL WINAPI WriteThreeBytesThenFail(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    if (gWritesBeforeFailing-- <= 0) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return WriteFile(file, bytes, size < 3 ? size : 3, written, overlapped);
}

TEST_F(WriteFiles, AWriteFailingAfterItsFirstBytesLeavesTheOldFileWholeAndNoOtherFile) {
    Put("the good old list");
    HeapByteSet first("a new list, "), second("longer than the old one");
    gWritesBeforeFailing = 1;
    FileWriteFunction plain = SetFileWriteFunction(&WriteThreeBytesThenFail);
    ValueRecord result = Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), first.Arg(), second.Arg()});
    SetFileWriteFunction(plain);
    EXPECT_EQ(LowWord(result), 0u);
    EXPECT_LT(gWritesBeforeFailing, 0) << "the failure came after the first bytes";
    EXPECT_EQ(ReadFileBytes(path_), "the good old list");
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{L"歌单.txt"}) << "no temporary file is left";

    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), first.Arg(), second.Arg()})), 1u);
    EXPECT_EQ(ReadFileBytes(path_), "a new list, longer than the old one");
    EXPECT_EQ(FilesIn(folder_), std::vector<std::wstring>{L"歌单.txt"});
}

// The program's folder need not have a GBK name (Hangul, Thai), nor a path
// short enough for the plain form.
TEST_F(WriteFiles, ARelativeNameLiesInTheProgramFolderWhateverItsName) {
    HeapByteSet bytes("saved");
    const std::wstring foreign = folder_ + L"\\한국어 ภาษาไทย";
    ASSERT_TRUE(CreateDirectoryW(foreign.c_str(), nullptr));
    Runtime().programDirectoryWide = foreign;
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg("LYRABOXMQ_1.txt"), bytes.Arg()})), 1u);
    EXPECT_EQ(ReadFileBytes(foreign + L"\\LYRABOXMQ_1.txt"), "saved");

    std::wstring deep = L"\\\\?\\" + folder_;
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    }
    Runtime().programDirectoryWide = deep.substr(4);
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg("LYRABOXMQ_1.txt"), bytes.Arg()})), 1u);
    EXPECT_EQ(ReadFileBytes(deep + L"\\LYRABOXMQ_1.txt"), "saved");
    EXPECT_EQ(FilesIn(deep), std::vector<std::wstring>{L"LYRABOXMQ_1.txt"});
}

TEST_F(WriteFiles, DataThatIsNotAByteSetFailsAndLeavesTheFileAlone) {
    Put("kept");
    HeapByteSet bytes("x");
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), bytes.Arg(), TextArg("text")})), 0u);
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), IntArg(5)})), 0u);
    EXPECT_EQ(ReadFileBytes(path_), "kept");
    EXPECT_EQ(LowWord(Call(&WriteFileBytes, {TextArg(gbkPath_.c_str()), Absent(), bytes.Arg()})), 1u)
        << "an absent argument writes nothing";
    EXPECT_EQ(ReadFileBytes(path_), "x");
}

// ---- File search (runtime helpers 0 and 1) ----

class FileSearch : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        folder_ = std::wstring(folder) + L"lyrabox_查找测试";
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW((folder_ + L"\\sub").c_str(), nullptr);
        for (const wchar_t* name : {L"a.txt", L"歌曲.txt", L"h.txt", L"b.dat"}) Touch(name);
        SetFileAttributesW((folder_ + L"\\h.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        gbkFolder_ = WideToGbk(folder_.c_str());
    }
    void TearDown() override {
        SetFileAttributesW((folder_ + L"\\h.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const wchar_t* name : {L"a.txt", L"歌曲.txt", L"h.txt", L"b.dat"}) DeleteFileW((folder_ + L"\\" + name).c_str());
        RemoveDirectoryW((folder_ + L"\\sub").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    void Touch(const wchar_t* name) {
        HANDLE file = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    // One step of a search; an empty pattern continues the one in handle_.
    bool Next(const std::string& pattern, uint32_t mask, bool anyFile, std::string* name) {
        std::string full = pattern.empty() ? std::string() : gbkFolder_ + "\\" + pattern;
        auto* found = reinterpret_cast<char*>(kServices.RuntimeHelper(kHelperSearchFiles, reinterpret_cast<intptr_t>(full.c_str()),
                                                                      mask, anyFile ? 1 : 0,
                                                                      reinterpret_cast<intptr_t>(&handle_), 0, 0));
        if (found == nullptr) return false;
        *name = found;
        FreeMemory(found);
        return true;
    }
    std::vector<std::string> All(const std::string& pattern, uint32_t mask, bool anyFile) {
        std::vector<std::string> names;
        std::string name;
        for (bool more = Next(pattern, mask, anyFile, &name); more; more = Next("", mask, anyFile, &name)) {
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::wstring folder_;
    std::string gbkFolder_;
    intptr_t handle_ = 0;
};

TEST_F(FileSearch, FiltersByAttributeAndClosesTheSearchWhenItRunsOut) {
    EXPECT_EQ(All("*", 0, true), (std::vector<std::string>{"a.txt", "b.dat", "h.txt", "歌曲.txt"}))
        << "any entry that is not a directory";
    EXPECT_EQ(handle_, 0) << "a search that ran out is closed";
    EXPECT_EQ(All("*.txt", 0, true), (std::vector<std::string>{"a.txt", "h.txt", "歌曲.txt"}));
    EXPECT_EQ(All("*", FILE_ATTRIBUTE_HIDDEN, false), (std::vector<std::string>{"h.txt"}));
    std::vector<std::string> folders = All("*", FILE_ATTRIBUTE_DIRECTORY | 0x100, false);
    EXPECT_NE(std::find(folders.begin(), folders.end(), "sub"), folders.end()) << "bits beyond 0x37 are ignored";
    EXPECT_EQ(std::find(folders.begin(), folders.end(), "a.txt"), folders.end());

    std::string name;
    EXPECT_FALSE(Next("*.none", 0, true, &name));
    EXPECT_EQ(handle_, 0);
    EXPECT_FALSE(Next("", 0, true, &name)) << "no search to continue";
}

TEST_F(FileSearch, ANewPatternRestartsAndEndFileSearchClosesAnOpenSearch) {
    std::string first, again;
    ASSERT_TRUE(Next("*.dat", 0, true, &first));
    EXPECT_EQ(first, "b.dat");
    EXPECT_NE(handle_, 0);
    ASSERT_TRUE(Next("*.dat", 0, true, &again)) << "the open search is replaced, not continued";
    EXPECT_EQ(again, "b.dat");
    ASSERT_TRUE(Next("*.txt", 0, true, &first));
    ASSERT_NE(handle_, 0);
    kServices.RuntimeHelper(kHelperEndFileSearch, handle_, 0, 0, 0, 0, 0);
    handle_ = 0;
    kServices.RuntimeHelper(kHelperEndFileSearch, 0, 0, 0, 0, 0, 0);  // no search: nothing happens
}

// ---- Threads ----

struct ThreadProbe {
    std::atomic<uintptr_t> parameter{0xDEADBEEF};
    std::atomic<DWORD> threadId{0};
    HANDLE proceed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~ThreadProbe() {
        CloseHandle(proceed);
        CloseHandle(done);
    }
};
ThreadProbe* gProbe = nullptr;

DWORD WINAPI ProbeRoutine(LPVOID parameter) {
    gProbe->parameter = reinterpret_cast<uintptr_t>(parameter);
    gProbe->threadId = GetCurrentThreadId();
    WaitForSingleObject(gProbe->proceed, 30000);  // blocks until the test lets it go
    SetEvent(gProbe->done);
    return 7;
}

ValueRecord Routine() { return PointerArg(reinterpret_cast<const void*>(&ProbeRoutine), kTypeRoutine); }

TEST(LaunchThread, RunsDetachedWithParameterZeroAndReturnsAtOnce) {
    ThreadProbe probe;
    gProbe = &probe;
    ValueRecord args[1] = {Routine()};
    ValueRecord result = kServices.CallLibraryCommand(kThreadLibrary, &LaunchThread, 1, args);
    EXPECT_EQ(LowWord(result), 1u);
    EXPECT_EQ(result.type, 0u);
    ASSERT_TRUE(WaitFor([&] { return probe.threadId != 0; }, 10000));
    EXPECT_EQ(WaitForSingleObject(probe.done, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the command returned while the subroutine still blocks";
    EXPECT_EQ(probe.parameter.load(), 0u);
    SetEvent(probe.proceed);
    EXPECT_EQ(WaitForSingleObject(probe.done, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    gProbe = nullptr;
}

TEST(LaunchThread, HandsOverTheParameterAndTheOpenHandle) {
    ThreadProbe probe;
    gProbe = &probe;
    // The variable is 32 bits wide: the word after it stays as it was.
    uint32_t variable[2] = {0xDEADBEEF, 0xDEADBEEF};
    ValueRecord args[3] = {Routine(), IntArg(77), PointerArg(variable, kTypeInt)};
    ValueRecord result = kServices.CallLibraryCommand(kThreadLibrary, &LaunchThread, 3, args);
    EXPECT_EQ(LowWord(result), 1u);
    EXPECT_EQ(variable[1], 0xDEADBEEFu) << "written past the 32-bit variable";
    ASSERT_NE(variable[0], 0xDEADBEEFu);
    ASSERT_NE(variable[0], 0u);
    // Handles keep their meaning in 32 bits; widening sign-extends them.
    HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(static_cast<int32_t>(variable[0])));
    ASSERT_TRUE(WaitFor([&] { return probe.threadId != 0; }, 10000));
    EXPECT_EQ(GetThreadId(handle), probe.threadId.load());
    EXPECT_EQ(probe.parameter.load(), 77u);
    EXPECT_EQ(WaitForSingleObject(handle, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
    SetEvent(probe.proceed);
    ASSERT_EQ(WaitForSingleObject(handle, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD exitCode = 0;
    GetExitCodeThread(handle, &exitCode);
    EXPECT_EQ(exitCode, 7u) << "the subroutine's value is the exit code";
    CloseHandle(handle);
    gProbe = nullptr;
}

TEST(LaunchThread, AbsentParameterAndHandleVariableAreNotRead) {
    ThreadProbe probe;
    gProbe = &probe;
    // Absent records whose data words would be meaningful if read.
    ValueRecord parameter = IntArg(55);
    parameter.type = 0;
    HANDLE handle = reinterpret_cast<HANDLE>(0xDEADBEEF);
    ValueRecord variable = PointerArg(&handle, 0);
    ValueRecord args[3] = {Routine(), parameter, variable};
    EXPECT_EQ(LowWord(Call(&LaunchThread, {args[0], args[1], args[2]})), 1u);
    ASSERT_TRUE(WaitFor([&] { return probe.threadId != 0; }, 10000));
    EXPECT_EQ(probe.parameter.load(), 0u);
    EXPECT_EQ(handle, reinterpret_cast<HANDLE>(0xDEADBEEF));
    SetEvent(probe.proceed);
    WaitForSingleObject(probe.done, 10000);
    gProbe = nullptr;
}

TEST(LaunchThread, NoRoutineIsFalseWithANullHandle) {
    HANDLE handle = reinterpret_cast<HANDLE>(0xDEADBEEF);
    ValueRecord result = Call(&LaunchThread, {PointerArg(nullptr, kTypeRoutine), Absent(), PointerArg(&handle, kTypeInt)});
    EXPECT_EQ(LowWord(result), 0u);
    EXPECT_EQ(handle, nullptr);
}

TEST(ThreadLibrary, NotifyStoresTheRequestAndAcceptsShutdown) {
    EXPECT_EQ(kThreadLibraryRecord.notify(1, reinterpret_cast<intptr_t>(&FakeRequest), 0), 0);
    EXPECT_EQ(ThreadLibraryRequest(), &FakeRequest);
    EXPECT_EQ(kThreadLibraryRecord.notify(6, 0, 0), 0);
    EXPECT_EQ(kThreadLibraryRecord.notify(2, 0, 0), -1);
}

}  // namespace
}  // namespace test
}  // namespace lyra
