// The program run from a folder where someone has left libraries named like
// the system's, under Windows' search order: none of them is loaded.
#include "tests/e2e/support/program_fixture.h"
#include "tests/e2e/support/recording_web_opener.h"

#include <psapi.h>

#include <cwctype>

namespace lyra::test {
namespace {

// Wine prefers its own builtin copies; Windows takes a library that is not a
// KnownDLL from the program's folder first. These names are made to load
// the Windows way. version is left out: Wine's own user32 imports it before
// any program code runs, which Windows, loading a KnownDLL's imports from the
// system folder, never does.
const std::initializer_list<const wchar_t*> kPlantedNames = {L"msimg32", L"winmm", L"comctl32", L"wininet",
                                                              L"mpr",     L"uxtheme", L"oleacc"};

std::wstring FreshTempName(const wchar_t* prefix) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    wchar_t path[MAX_PATH];
    GetTempFileNameW(folder, prefix, 0, path);
    DeleteFileW(path);
    return path;
}

// The program under the name it has in the package, and the control.
const wchar_t kProgram[] = L"lyrabox.exe";
const wchar_t kControl[] = L"plays_a_sound.exe";

class PlantedLibraries : public Lyrabox {
protected:
    void SetUp() override {
        Lyrabox::SetUp();
        shipped_ = directory_;
        planted_ = FolderOf(ProgramDirectory()) + L"planted\\";
        directory_ = FreshTempName(L"pl") + L"\\";
        ASSERT_TRUE(CreateDirectoryW(directory_.c_str(), nullptr));
        ASSERT_TRUE(Copy(shipped_ + kAsShipped, kProgram));
        for (const wchar_t* name : kPlantedNames) {
            ASSERT_TRUE(Copy(planted_ + name + L".dll", std::wstring(name) + L".dll")) << Utf8(name);
        }
    }
    void TearDown() override {
        Lyrabox::TearDown();
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((directory_ + L"*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileW((directory_ + entry.cFileName).c_str());
            while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(directory_.c_str());
    }

    bool Copy(const std::wstring& from, const std::wstring& name) {
        return CopyFileW(from.c_str(), (directory_ + name).c_str(), FALSE) != FALSE;
    }
    // The paths of the modules the program has loaded, in lower case.
    std::vector<std::wstring> LoadedModules() {
        HMODULE modules[512];
        DWORD bytes = 0;
        std::vector<std::wstring> paths;
        if (!EnumProcessModules(process_.process(), modules, sizeof modules, &bytes)) return paths;
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            wchar_t path[MAX_PATH];
            DWORD length = GetModuleFileNameExW(process_.process(), modules[i], path, MAX_PATH);
            std::wstring lower(path, length);
            for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
            paths.push_back(lower);
        }
        return paths;
    }
    // The markers in the folder, each with the program that loaded it.
    std::vector<std::string> Markers() {
        std::vector<std::string> markers;
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW((directory_ + L"*.loaded").c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) return markers;
        do markers.push_back(Utf8(entry.cFileName) + " by " + ReadFileBytes(directory_ + entry.cFileName));
        while (FindNextFileW(search, &entry));
        FindClose(search);
        return markers;
    }

    std::wstring shipped_;
    std::wstring planted_;
};

TEST_F(PlantedLibraries, NoneIsLoadedThroughStartLookupAboutAndTheClosingBoxesBrowserLaunch) {
    const std::wstring record = directory_ + L"opened-address.txt";
    RecordingWebOpener opener(record);
    ASSERT_TRUE(opener.ok());
    DllOverrides programSearchOrder(kProgram, kPlantedNames, L"native,builtin");
    DllOverrides controlSearchOrder(kControl, kPlantedNames, L"native,builtin");
    ASSERT_TRUE(programSearchOrder.ok() && controlSearchOrder.ok());
    Serve(WithPage("7", Page(3, 2)));
    Launch(kProgram);
    LookUp(L"7");
    EXPECT_EQ(Column(background_, 1).size(), 3u);

    ClickCentre(FindControl(main_, kAboutButtonControl));
    HWND box = WaitForBox(L"关于软件：");
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDOK);

    // A screen reader's question makes the program load oleacc.
    EXPECT_GT(SendMessageW(FindControl(main_, kQueryButtonControl), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    bool accessibility = false;
    for (const std::wstring& path : LoadedModules()) {
        accessibility = accessibility || (path.size() > 11 && path.compare(path.size() - 11, 11, L"\\oleacc.dll") == 0);
    }
    EXPECT_TRUE(accessibility) << "oleacc is loaded";

    bool commonControls6 = false;
    for (const std::wstring& path : LoadedModules()) {
        if (path.size() > 13 && path.compare(path.size() - 13, 13, L"\\comctl32.dll") == 0) {
            commonControls6 = path.find(L"\\winsxs\\") != std::wstring::npos &&
                              path.find(L"common-controls_6595b64144ccf1df_6.") != std::wstring::npos;
            EXPECT_TRUE(commonControls6) << "the manifest's version 6 comes side by side: " << Utf8(path);
        }
    }
    EXPECT_TRUE(commonControls6) << "the common controls are loaded";

    PostMessageW(main_, WM_CLOSE, 0, 0);
    box = WaitForBox(L"更多精彩：");
    ASSERT_NE(box, nullptr);
    AnswerMessageBox(box, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
    const std::string maker = "http://127.0.0.1:" + std::to_string(kPort) + "/maker.html";
    std::string opened;
    EXPECT_TRUE(WaitFor([&] { return (opened = ReadFileBytes(record)).rfind(maker, 0) == 0; }, kDeadline))
        << "the shell was asked to open: " << opened;
    EXPECT_EQ(Markers(), std::vector<std::string>{});

    // The control: a program that imports winmm the ordinary way does load
    // the copy beside it under the same search order.
    ASSERT_TRUE(Copy(planted_ + kControl, kControl));
    EXPECT_NE(RunToEnd(directory_ + kControl), STILL_ACTIVE);
    std::vector<std::string> markers = Markers();
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(_strnicmp(markers[0].c_str(), "winmm.dll.loaded by ", 20), 0) << markers[0];
}

}  // namespace
}  // namespace lyra::test
