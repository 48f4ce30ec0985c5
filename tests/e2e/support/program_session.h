// The program under test as a person meets it: started from the test
// program's directory, its window found, a number typed into its box and
// looked up with Enter, closed through its closing box. Every wait has a
// deadline; the session ends the program whatever happened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace lyra::test {

class ProgramSession {
public:
    ProgramSession() = default;
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Starts exeName and waits for its window and components.
    bool Launch(const std::wstring& exeName, DWORD deadline);
    // Replaces what the number box shows with number.
    bool TypeNumber(const std::wstring& number, DWORD deadline);
    // Enter in the number box; true once the server has seen the lookup's
    // request (lookupRequests counts them) and the query box is usable
    // again with a final status, within deadline.
    bool LookUp(const std::wstring& number, const std::function<size_t()>& lookupRequests, DWORD deadline);
    bool LookupFinished() const;
    // The closing box answered with Cancel; true once the process has ended.
    bool Close(DWORD deadline);

    std::wstring Status() const;
    std::vector<HWND> MessageBoxes() const;
    // The program's private memory, in bytes.
    size_t PrivateBytes() const;

    HWND main() const { return main_; }
    HWND background() const { return background_; }
    HWND favourites() const { return favourites_; }
    HANDLE process() const { return process_.hProcess; }

private:
    bool FocusEdit(DWORD deadline);

    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND edit_ = nullptr;
    HWND group_ = nullptr;
    HWND background_ = nullptr;
    HWND favourites_ = nullptr;
};

// The final statuses of a lookup.
extern const std::wstring kAllMissingStatus;
extern const std::wstring kNoFavouritesStatus;
extern const std::wstring kNoBackgroundStatus;
extern const std::wstring kDoneStatus;

// The directory of the test program, where the programs under test lie.
std::wstring TestProgramDirectory();

}  // namespace lyra::test
