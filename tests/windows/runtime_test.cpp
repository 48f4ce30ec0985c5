// Start-up, shutdown, errors and requests of the runtime, observed from
// outside: each case runs the runtime test program as a child process.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_support/message_sequence.h"
#include "test_support/processes.h"
#include "test_support/text_files.h"
#include "test_support/window_search.h"

namespace lyra::test {
namespace {

constexpr DWORD kRuntimeErrorExit = 0xFFFFFFFF;

class RuntimeChild : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = ProgramDirectory() + L"runtime_child.exe";
    }

    bool Start(const wchar_t* scenario, const std::wstring& directory = std::wstring()) {
        return child_.StartScenario(program_, scenario, directory);
    }
    std::vector<std::string> Log() { return child_.Log(); }
    static bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    std::wstring program_;
    ScenarioChild child_{L"rtc"};
};

// The libraries (A, then C, in table order) hear message 1 before the
// program starts and message 6 after everything else has ended.
const MessageStep kProgramLife[] = {
    {"A1", "library A: the program starts"},
    {"C1", "library C: the program starts"},
    {"template", "the window template is loaded"},
    {"entry", "the program's entry routine runs"},
    {"loop-returned", "the message loop has ended"},
    {"release", "the window template is released"},
    {"exit-hook", "the exit routine runs"},
    {"A6", "library A: the program ends"},
    {"C6", "library C: the program ends"},
};

const MessageStep kWorkerEndsTheProgram[] = {
    {"worker", "the worker thread asks the program to end"},
    {"release", "the main thread releases the window template"},
    {"exit-hook", "the exit routine runs"},
    {"A6", "library A: the program ends"},
    {"C6", "library C: the program ends"},
};

const MessageStep kShutdownAfterAnError[] = {
    {"A6", "library A: the program ends"},
    {"C6", "library C: the program ends"},
};

TEST_F(RuntimeChild, LibrariesAreNotifiedInTableOrderAroundTheProgramsLife) {
    ASSERT_TRUE(Start(L"loop"));
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), 0u);
    auto log = Log();
    EXPECT_SEQUENCE(StepsAmong(log, kProgramLife), kProgramLife);
    EXPECT_FALSE(Contains(log, "A1 without request")) << "message 1 carries the request function";
    EXPECT_TRUE(Contains(log, "kind 7")) << "request 2030 answers the header's program kind";
}

TEST_F(RuntimeChild, WorkingDirectoryBecomesTheProgramsDirectory) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(Start(L"loop", temp));
    ASSERT_TRUE(child_.WaitForExit(30000));
    auto log = Log();
    std::string programDirectory, cwd;
    for (const auto& line : log) {
        if (line.rfind("programDirectory ", 0) == 0) programDirectory = line.substr(17);
        if (line.rfind("cwd ", 0) == 0) cwd = line.substr(4);
    }
    ASSERT_FALSE(programDirectory.empty());
    EXPECT_EQ(cwd, programDirectory);
    EXPECT_NE(programDirectory.back(), '\\') << "no trailing backslash";
}

TEST_F(RuntimeChild, AProgramFolderNamedOutsideGbkBecomesTheWorkingDirectory) {
    std::wstring base = TempFilePath(L"rtc");
    DeleteFileW(base.c_str());
    std::wstring folder = base + L"-\uD55C\uAE00\u0E44\u0E17\u0E22";
    std::wstring copy = folder + L"\\runtime_child.exe";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(program_.c_str(), copy.c_str(), FALSE));
    program_ = copy;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    bool started = Start(L"loop", temp);
    bool ended = started && child_.WaitForExit(30000);
    auto log = Log();
    DeleteFileW(copy.c_str());
    RemoveDirectoryW(folder.c_str());
    ASSERT_TRUE(ended);
    EXPECT_TRUE(Contains(log, "wide program folder is the module's"));
    EXPECT_TRUE(Contains(log, "working directory is the wide program folder"));
}

TEST_F(RuntimeChild, ExitProgramFromAWorkerShutsDownOnTheMainThread) {
    ASSERT_TRUE(Start(L"worker-exit"));
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), 42u);
    auto log = Log();
    EXPECT_SEQUENCE(StepsAmong(log, kWorkerEndsTheProgram), kWorkerEndsTheProgram);
    EXPECT_FALSE(Contains(log, "worker returned"));
}

TEST_F(RuntimeChild, RuntimeErrorShowsTheReportAndEndsWithMinusOne) {
    ASSERT_TRUE(Start(L"error"));
    std::wstring text = AnswerErrorBox(child_.processId());
    EXPECT_EQ(text, L"运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    auto log = Log();
    EXPECT_FALSE(Contains(log, "exit-hook")) << "no exit routine after an error";
    EXPECT_SEQUENCE(StepsAmong(log, kShutdownAfterAnError), kShutdownAfterAnError) << "shutdown still runs in full";
}

TEST_F(RuntimeChild, ErrorHookThatAnswersSuppressesTheBox) {
    ASSERT_TRUE(Start(L"error-hook"));
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    auto log = Log();
    EXPECT_TRUE(Contains(log, "hook 6"));
    EXPECT_FALSE(Contains(log, "exit-hook"));
}

TEST_F(RuntimeChild, RuntimeErrorOnAWorkerEndsTheProcess) {
    ASSERT_TRUE(Start(L"worker-error"));
    std::wstring text = AnswerErrorBox(child_.processId());
    EXPECT_NE(text.find(L"数组成员引用下标必须大于等于1"), std::wstring::npos);
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    EXPECT_TRUE(Contains(Log(), "A6")) << "the main thread performed the shutdown";
}

TEST_F(RuntimeChild, UnreadableTemplateIsAFatalError) {
    ASSERT_TRUE(Start(L"bad-template"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n");
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
    EXPECT_FALSE(Contains(Log(), "entry"));
}

TEST_F(RuntimeChild, MissingStartWindowIsAFatalError) {
    ASSERT_TRUE(Start(L"no-window"));
    EXPECT_EQ(AnswerErrorBox(child_.processId()), L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    ASSERT_TRUE(child_.WaitForExit(30000));
    EXPECT_EQ(child_.exitCode(), kRuntimeErrorExit);
}

}  // namespace
}  // namespace lyra::test
