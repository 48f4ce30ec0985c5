// Binding and calling external functions in process, through the test
// libraries built beside this program, with every loader step recorded.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "runtime/external.h"
#include "runtime/gbk.h"
#include "runtime/runtime_state.h"
#include "runtime/services.h"
#include "test_support/message_sequence.h"
#include "test_support/processes.h"
#include "test_support/text_files.h"
#include "test_support/window_search.h"

namespace lyra {

namespace {

std::vector<std::string> gLoaderLog;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string ModuleBaseName(void* module) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(static_cast<HMODULE>(module), path, MAX_PATH);
    std::string name = WideToGbk(path, length);
    return Lower(name.substr(name.find_last_of('\\') + 1));
}

std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

void* RecordingLoad(const wchar_t* path) {
    void* module = SystemExternalLoader().load(path);
    gLoaderLog.push_back(std::string(module ? "load " : "load failed ") + Utf8(path));
    return module;
}
void* RecordingFind(void* module, const char* key) {
    uintptr_t word = reinterpret_cast<uintptr_t>(key);
    gLoaderLog.push_back(word <= 0xFFFF ? "find #" + std::to_string(word) : std::string("find ") + key);
    return SystemExternalLoader().find(module, key);
}
void RecordingRelease(void* module) {
    gLoaderLog.push_back("release " + ModuleBaseName(module));
    SystemExternalLoader().release(module);
}
const ExternalLoader kRecordingLoader = {&RecordingLoad, &RecordingFind, &RecordingRelease};

std::string Gbk(const std::wstring& wide) { return WideToGbk(wide.c_str()); }

class ExternalBinding : public ::testing::Test {
protected:
    void SetUp() override {
        std::wstring here = test::ProgramDirectory();
        programDirectory_ = Gbk(here.substr(0, here.size() - 1));
        elsewhereDirectory_ = Gbk(here) + "elsewhere\\";
        Runtime().programDirectory = programDirectory_;
        Runtime().programDirectoryWide = here.substr(0, here.size() - 1);
        Runtime().moduleDirectory = Gbk(here);
        wchar_t system[MAX_PATH];
        systemFolder_ = Utf8(std::wstring(system, GetSystemDirectoryW(system, MAX_PATH))) + "\\";
        gLoaderLog.clear();
        SetExternalLoader(&kRecordingLoader);
    }
    void TearDown() override {
        FreeBoundModules();
        SetExternalLoader(nullptr);
    }

    // Returns the references binding took, so that the next test loads its
    // libraries afresh and a copied library can be deleted.
    static void FreeBoundModules() {
        RuntimeState& runtime = Runtime();
        for (uint32_t i = 0; i < runtime.externalCount; ++i) {
            runtime.externalAddresses[i].store(nullptr);
            if (void* module = runtime.externalModules[i].exchange(nullptr)) FreeLibrary(static_cast<HMODULE>(module));
        }
    }

    void Declare(std::vector<std::pair<std::string, std::string>> entries) {
        entries_ = std::move(entries);
        libraries_.clear();
        functions_.clear();
        for (const auto& entry : entries_) {
            libraries_.push_back(entry.first.c_str());
            functions_.push_back(entry.second.c_str());
        }
        SetUpExternalFunctions(static_cast<uint32_t>(entries_.size()), libraries_.data(), functions_.data());
    }
    static intptr_t Call(int index, std::vector<intptr_t> args = {}) {
        return CallExternalFunction(index, static_cast<int>(args.size()), args.data());
    }
    static int32_t CallInt(int index, std::vector<intptr_t> args = {}) {
        return static_cast<int32_t>(Call(index, std::move(args)));
    }
    static size_t Count(const std::string& prefix) {
        return static_cast<size_t>(std::count_if(gLoaderLog.begin(), gLoaderLog.end(), [&](const std::string& line) {
            return line.rfind(prefix, 0) == 0;
        }));
    }

    // The build folder's path is ASCII: the same in GBK and in the log's UTF-8.
    std::string programDirectory_;
    std::string elsewhereDirectory_;
    std::string systemFolder_;
    std::vector<std::pair<std::string, std::string>> entries_;
    std::vector<const char*> libraries_;
    std::vector<const char*> functions_;
};

TEST_F(ExternalBinding, ProgramDirectoryCopyWinsOverTheSameNameOnTheSearchPath) {
    // With the other copy loaded, the system's own search for the bare name
    // answers that copy: only the program directory rule finds ours.
    HMODULE other = LoadLibraryW(GbkToWide((elsewhereDirectory_ + "bind_probe.dll").c_str()).c_str());
    ASSERT_NE(other, nullptr);
    HMODULE bare = LoadLibraryW(L"bind_probe.dll");
    ASSERT_EQ(bare, other) << "precondition: the bare name resolves to the copy already loaded";
    FreeLibrary(bare);

    Runtime().moduleDirectory.clear();
    Declare({{"bind_probe.dll", "WhichCopy"}});
    EXPECT_EQ(CallInt(0), 1);
    ASSERT_FALSE(gLoaderLog.empty());
    EXPECT_EQ(gLoaderLog[0], "load " + programDirectory_ + "\\bind_probe.dll");
    EXPECT_EQ(Count("load"), 1u);
    FreeLibrary(other);
}

TEST_F(ExternalBinding, ModuleDirectoryThenTheSystemSearchAreTriedInTurn) {
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    std::wstring emptyDirectory(temp, length - 1);
    Runtime().programDirectoryWide = emptyDirectory;
    Runtime().moduleDirectory = elsewhereDirectory_;
    Declare({{"bind_probe.dll", "WhichCopy"}});
    EXPECT_EQ(CallInt(0), 2);
    const test::MessageStep programFolderThenModuleFolder[] = {
        {"load failed " + Utf8(emptyDirectory) + "\\bind_probe.dll", "not in the program's folder"},
        {"load " + elsewhereDirectory_ + "bind_probe.dll", "loaded from the module's folder"},
        {"find WhichCopy", "the export found there"},
    };
    EXPECT_SEQUENCE(gLoaderLog, programFolderThenModuleFolder);

    // With that copy loaded, the system's own search for the bare name answers it.
    HMODULE loaded = LoadLibraryW(GbkToWide((elsewhereDirectory_ + "bind_probe.dll").c_str()).c_str());
    FreeBoundModules();
    gLoaderLog.clear();
    Runtime().moduleDirectory.clear();
    Declare({{"bind_probe.dll", "WhichCopy"}});
    EXPECT_EQ(CallInt(0), 2);
    const test::MessageStep programFolderThenSystemSearch[] = {
        {"load failed " + Utf8(emptyDirectory) + "\\bind_probe.dll", "not in the program's folder"},
        {"load bind_probe.dll", "the bare name to the system's search"},
        {"find WhichCopy", "the export found in what it answered"},
    };
    EXPECT_SEQUENCE(gLoaderLog, programFolderThenSystemSearch) << "no module directory: straight to the system search";
    FreeLibrary(loaded);
}

// A folder such as Downloads holding the program beside files named like
// system libraries: the system's name comes from the system folder, by full
// path, and only the program's own library from the program's folder, whose
// name need not be GBK.
TEST_F(ExternalBinding, ASystemLibraryComesFromTheSystemFolderOnlyAndTheProgramsOwnFromItsFolder) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"lyrabox-\uD55C\uAE00-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring planted = test::ProgramDirectory() + L"..\\planted\\";
    const std::pair<std::wstring, const wchar_t*> copies[] = {
        {test::ProgramDirectory() + L"bind_probe.dll", L"bind_probe.dll"},
        {planted + L"wininet.dll", L"wininet.dll"},
        {planted + L"mpr.dll", L"Mpr.dll"},
    };
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    for (const auto& [from, name] : copies) ASSERT_TRUE(CopyFileW(from.c_str(), (folder + L"\\" + name).c_str(), FALSE));
    Runtime().programDirectoryWide = folder;
    Runtime().moduleDirectory.clear();

    Declare({{"wininet.dll", "InternetCloseHandle"}, {"bind_probe.dll", "WhichCopy"}, {"", "ShellExecuteExW"}});
    void* address = BindExternalFunction(0);
    EXPECT_EQ(gLoaderLog, (std::vector<std::string>{"load " + systemFolder_ + "wininet.dll", "find InternetCloseHandle"}));
    HMODULE wininet = GetModuleHandleW(L"wininet.dll");
    ASSERT_NE(wininet, nullptr);
    EXPECT_EQ(address, reinterpret_cast<void*>(GetProcAddress(wininet, "InternetCloseHandle")));

    gLoaderLog.clear();
    EXPECT_EQ(CallInt(1), 1);
    EXPECT_EQ(gLoaderLog, (std::vector<std::string>{"load " + Utf8(folder) + "\\bind_probe.dll", "find WhichCopy"}));

    gLoaderLog.clear();
    BindExternalFunction(2);
    EXPECT_EQ(std::count(gLoaderLog.begin(), gLoaderLog.end(), "load " + systemFolder_ + "Mpr.dll"), 1)
        << "the default libraries too: " << ::testing::PrintToString(gLoaderLog);
    EXPECT_EQ(Count("load " + Utf8(folder)), 0u);

    FreeBoundModules();
    for (const auto& copy : copies) {
        DeleteFileW((folder + L"\\" + copy.second).c_str());
        DeleteFileW((folder + L"\\" + copy.second + L".loaded").c_str());
    }
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str())) << "nothing else was left there";
}

TEST_F(ExternalBinding, NameWithAColonIsLoadedOnlyByItsFullName) {
    std::string fullName = elsewhereDirectory_ + "bind_probe.dll";
    ASSERT_NE(fullName.find(':'), std::string::npos);
    Declare({{fullName, "WhichCopy"}});
    EXPECT_EQ(CallInt(0), 2);
    EXPECT_EQ(gLoaderLog, (std::vector<std::string>{"load " + fullName, "find WhichCopy"}));
}

TEST_F(ExternalBinding, DefaultLibrariesAreLoadedSearchedAndReleasedInOrder) {
    Declare({{"", "ShellExecuteA"}});
    void* address = BindExternalFunction(0);
    const std::string& system = systemFolder_;
    const test::MessageStep defaultLibraries[] = {
        {"load " + system + "Kernel32.dll", "the first default library, from the system folder"},
        {"find ShellExecuteA", "not in it"},
        {"release kernel32.dll", "let go"},
        {"load " + system + "Gdi32.dll", "the second"},
        {"find ShellExecuteA", "not in it"},
        {"release gdi32.dll", "let go"},
        {"load " + system + "User32.dll", "the third"},
        {"find ShellExecuteA", "not in it"},
        {"release user32.dll", "let go"},
        {"load " + system + "Advapi32.dll", "the fourth"},
        {"find ShellExecuteA", "not in it"},
        {"release advapi32.dll", "let go"},
        {"load " + system + "Mpr.dll", "the fifth"},
        {"find ShellExecuteA", "not in it"},
        {"release mpr.dll", "let go"},
        {"load " + system + "Shell32.dll", "the sixth"},
        {"find ShellExecuteA", "found there, and kept"},
    };
    EXPECT_SEQUENCE(gLoaderLog, defaultLibraries);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(address, reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteA")));
    EXPECT_EQ(Runtime().externalModules[0].load(), static_cast<void*>(shell)) << "the providing module is kept";
}

TEST_F(ExternalBinding, HashAndDigitsLookUpAnOrdinalInItsLow16Bits) {
    Declare({{"bind_probe.dll", "#12"}, {"bind_probe.dll", "#65548"}});
    EXPECT_EQ(CallInt(0), 12);
    EXPECT_EQ(CallInt(1), 12) << "65548 is 0x1000C";
    EXPECT_EQ(Count("find #12"), 2u);
}

TEST_F(ExternalBinding, BoundEntryIsCachedAndSharedExportsBindSeparately) {
    Declare({{"bind_probe.dll", "AddThree"}, {"bind_probe.dll", "AddThree"}});
    EXPECT_EQ(CallInt(0, {1, 2, 3}), 6);
    EXPECT_EQ(CallInt(0, {4, 5, 6}), 15);
    EXPECT_EQ(Count("load"), 1u) << "a second call does not load again";

    EXPECT_EQ(CallInt(1, {7, 8, 9}), 24);
    EXPECT_EQ(Count("load"), 2u) << "the second entry binds on its own";
    EXPECT_EQ(Runtime().externalAddresses[0].load(), Runtime().externalAddresses[1].load());
    EXPECT_NE(Runtime().externalModules[0].load(), nullptr);
    EXPECT_NE(Runtime().externalModules[1].load(), nullptr);
}

TEST_F(ExternalBinding, ArgumentsArriveAsMachineWordsInOrder) {
    Declare({{"bind_probe.dll", "WeighTwelve"}, {"bind_probe.dll", "SamePointer"}});
    std::vector<intptr_t> ones(12, 1);
    EXPECT_EQ(Call(0, ones), 78);
    std::vector<intptr_t> onlyLast(12, 0);
    onlyLast[11] = 1000;
    EXPECT_EQ(Call(0, onlyLast), 12000) << "the last argument travels on the stack";
    EXPECT_EQ(Call(0, {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), -1);

    int local = 0;
    intptr_t pointer = reinterpret_cast<intptr_t>(&local);
    EXPECT_EQ(Call(1, {pointer}), pointer) << "pointers pass whole";
}

TEST_F(ExternalBinding, StackCheckCatchesACallerCleanedCallOnlyWhereConventionsDiffer) {
    HMODULE probe = LoadLibraryW(GbkToWide((programDirectory_ + "\\bind_probe.dll").c_str()).c_str());
    ASSERT_NE(probe, nullptr);
    void* cdeclAdd = reinterpret_cast<void*>(GetProcAddress(probe, "CdeclAddThree"));
    void* stdcallAdd = reinterpret_cast<void*>(GetProcAddress(probe, "AddThree"));
    const intptr_t args[3] = {1, 2, 3};
    intptr_t result = 0;
    EXPECT_TRUE(CallWithStackCheck(stdcallAdd, 3, args, &result));
    EXPECT_EQ(static_cast<int32_t>(result), 6);
#if defined(__i386__)
    EXPECT_FALSE(CallWithStackCheck(cdeclAdd, 3, args, &result)) << "the callee left 12 bytes behind";
#else
    EXPECT_TRUE(CallWithStackCheck(cdeclAdd, 3, args, &result)) << "one calling convention";
#endif
    EXPECT_EQ(static_cast<int32_t>(result), 6);
    EXPECT_FALSE(CallWithStackCheck(stdcallAdd, kMaxExternalArguments + 1, args, &result));
    FreeLibrary(probe);
}

// A missing library or export is fatal: the child shows the box and ends.
class ExternalBindingChild : public ::testing::Test {
protected:
    std::wstring RunAndAnswer(const wchar_t* scenario, DWORD* exitCode) {
        test::ChildProcess child;
        if (!child.Start(test::ProgramDirectory() + L"external_child.exe", scenario)) return L"<not started>";
        std::wstring text = test::AnswerErrorBox(child.processId());
        *exitCode = child.WaitForExit(30000) ? child.exitCode() : STILL_ACTIVE;
        return text;
    }
};

TEST_F(ExternalBindingChild, MissingExportsAndLibrariesReportTheNameAsWritten) {
    struct Case {
        const wchar_t* scenario;
        const wchar_t* message;
    };
    const Case cases[] = {
        {L"0", L"无法找到指定DLL库文件“bind_probe.dll”中的输出命令“NoSuchExport”"},
        {L"1", L"无法找到指定DLL库文件中的输出命令“NoSuchExport”"},
        {L"2", L"无法找到指定DLL库文件“bind_probe.dll”中的输出命令“#99”"},
        {L"3", L"无法找到指定DLL库文件“no_such_library.dll”中的输出命令“Anything”"},
    };
    for (const Case& c : cases) {
        DWORD exitCode = 0;
        std::wstring text = RunAndAnswer(c.scenario, &exitCode);
        EXPECT_EQ(text, std::wstring(L"运行时出错!\r\n\r\n错误信息：") + c.message + L"\r\n") << "scenario " << c.scenario;
        EXPECT_EQ(exitCode, 0xFFFFFFFFu) << "scenario " << c.scenario;
    }
}

TEST_F(ExternalBindingChild, ProgramImageTableIsBoundAfterStartUp) {
    test::ChildProcess child;
    ASSERT_TRUE(child.Start(test::ProgramDirectory() + L"external_child.exe", L"4"));
    ASSERT_TRUE(child.WaitForExit(30000));
    EXPECT_EQ(child.exitCode(), 1u) << "entry 4 reached WhichCopy of the copy beside the program";
}

}  // namespace
}  // namespace lyra
