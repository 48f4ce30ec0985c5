#include <gtest/gtest.h>

#include "runtime/errors.h"
#include "runtime/runtime_state.h"

namespace lyra {
namespace {

TEST(ErrorReport, NumberedErrorLayout) {
    EXPECT_EQ(BuildErrorReport(RuntimeErrorMessage(6), 6),
              "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n");
}

TEST(ErrorReport, CodeZeroHasNoCodeLines) {
    EXPECT_EQ(BuildErrorReport("载入启动窗口失败", 0), "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(BuildErrorReport("", 0), "运行时出错!\r\n\r\n") << "an empty message shows only the heading";
    EXPECT_EQ(BuildErrorReport(nullptr, 0), "运行时出错!\r\n\r\n");
}

TEST(ErrorReport, MessageTableCoversCodesOneToEleven) {
    EXPECT_EQ(RuntimeErrorMessage(0), nullptr);
    EXPECT_EQ(RuntimeErrorMessage(12), nullptr);
    EXPECT_STREQ(RuntimeErrorMessage(1), "数组成员引用下标超出定义范围");
    EXPECT_STREQ(RuntimeErrorMessage(4), "数组成员引用下标必须大于等于1");
    EXPECT_STREQ(RuntimeErrorMessage(11), "所提供参数的数据类型不符合要求");
}

int gHookCalls = 0;
int AnsweringHook(int, const char*) {
    ++gHookCalls;
    return 1;
}
void ExitRoutineThatMustNotRun() { std::fputs("exit routine ran", stderr); }

TEST(ErrorReportDeathTest, HookSuppressesTheReportButTheProcessStillEnds) {
    EXPECT_EXIT(
        {
            SetErrorHook(&AnsweringHook);
            Runtime().exitHook.store(&ExitRoutineThatMustNotRun);
            ReportRuntimeError(6);
        },
        ::testing::ExitedWithCode(255), "^$");
}

TEST(ErrorReportDeathTest, ReportWithoutHookShowsTheText) {
    EXPECT_EXIT(
        {
            SetErrorHook(nullptr);
            ReportError("x", 0);
        },
        ::testing::ExitedWithCode(255), "错误信息：x");
}

TEST(EventSuspension, NeverGoesBelowZero) {
    int before = Runtime().eventSuspension.load();
    LowerEventSuspension();
    if (before == 0) {
        EXPECT_EQ(Runtime().eventSuspension.load(), 0);
    }
    RaiseEventSuspension();
    EXPECT_TRUE(EventsSuspended());
    LowerEventSuspension();
}

}  // namespace
}  // namespace lyra
