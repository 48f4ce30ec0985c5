// Fatal runtime errors: one message box in a fixed layout, then exit code -1.
#pragma once

#include <string>

namespace lyra {

constexpr int kRuntimeErrorExitCode = -1;

// The message of error code 1..11, or null for any other code.
const char* RuntimeErrorMessage(int code);

// The report text: heading, the code lines when code != 0, the message lines
// when the message is not empty. GBK bytes.
std::string BuildErrorReport(const char* message, int code);

[[noreturn]] void ReportRuntimeError(int code);
[[noreturn]] void ReportError(const char* message, int code);

// The error hook takes over the box when it answers non-zero.
using ErrorHook = int (*)(int code, const char* message);
void SetErrorHook(ErrorHook hook);

// Platform seams: the box, and the way out of the process.
void ShowErrorReport(const std::string& gbkText);
[[noreturn]] void ExitProgram(int exitCode);

}  // namespace lyra
