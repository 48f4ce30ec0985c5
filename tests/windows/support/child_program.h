// What the test programs that the Windows tests start share: the first
// argument names the scenario to play, the second the file the program's
// log lines go to.
#pragma once

#include <string>

namespace lyra::test {

// Reads both arguments; false when the command line lacks one.
bool ReadChildArguments();
const std::wstring& ChildScenario();
bool IsScenario(const wchar_t* name);

// Appends line and a line feed to the log file; any thread may log.
void Log(const std::string& line);

// ASCII as it is, any other character as '?'.
std::string Narrow(const std::wstring& text);

}  // namespace lyra::test
