// Opening a web address in the browser, from threads in each COM state the
// program calls it from, with the shell's launch taken by a recorder.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/routines.h"
#include "program/external_functions.h"
#include "runtime/external.h"
#include "runtime/runtime_state.h"

namespace lyra {

namespace {

struct Launch {
    std::string entry;  // the export the program called
    ULONG mask = 0;
    std::wstring verb;
    std::wstring file;
    int show = 0;
    HRESULT apartmentQuery = E_FAIL;  // CoGetApartmentType during the launch
    APTTYPE apartment = APTTYPE_CURRENT;
};

std::vector<Launch> gLaunches;

// The main single-threaded apartment is one of them.
APTTYPE ApartmentOf(APTTYPE type) { return type == APTTYPE_MAINSTA ? APTTYPE_STA : type; }

void RecordApartment(Launch* launch) {
    APTTYPEQUALIFIER qualifier;
    launch->apartmentQuery = CoGetApartmentType(&launch->apartment, &qualifier);
    launch->apartment = ApartmentOf(launch->apartment);
}

BOOL WINAPI RecordWideLaunch(SHELLEXECUTEINFOW* info) {
    Launch launch;
    launch.entry = "ShellExecuteExW";
    launch.mask = info->fMask;
    launch.verb = info->lpVerb != nullptr ? info->lpVerb : L"";
    launch.file = info->lpFile != nullptr ? info->lpFile : L"";
    launch.show = info->nShow;
    RecordApartment(&launch);
    gLaunches.push_back(launch);
    info->hInstApp = reinterpret_cast<HINSTANCE>(42);
    return TRUE;
}

HINSTANCE WINAPI RecordNarrowLaunch(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT show) {
    Launch launch;
    launch.entry = "ShellExecuteA";
    launch.show = show;
    RecordApartment(&launch);
    gLaunches.push_back(launch);
    return reinterpret_cast<HINSTANCE>(42);
}

void* RecordingFind(void* module, const char* key) {
    if (reinterpret_cast<uintptr_t>(key) > 0xFFFF) {
        if (std::strcmp(key, "ShellExecuteExW") == 0) return reinterpret_cast<void*>(&RecordWideLaunch);
        if (std::strcmp(key, "ShellExecuteA") == 0) return reinterpret_cast<void*>(&RecordNarrowLaunch);
    }
    return SystemExternalLoader().find(module, key);
}

ExternalLoader RecordingLoader() {
    ExternalLoader loader = SystemExternalLoader();
    loader.find = &RecordingFind;
    return loader;
}

// The COM state of the calling thread before the launch: none (the update
// worker), the window thread's (OLE initialised), or the multithreaded one.
enum class Apartment { kNone, kSingleThreaded, kMultithreaded };

HRESULT Enter(Apartment apartment) {
    switch (apartment) {
        case Apartment::kNone: return S_OK;
        case Apartment::kSingleThreaded: return OleInitialize(nullptr);
        case Apartment::kMultithreaded: return CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    return E_FAIL;
}

void Leave(Apartment apartment) {
    if (apartment == Apartment::kSingleThreaded) OleUninitialize();
    if (apartment == Apartment::kMultithreaded) CoUninitialize();
}

class BrowserLaunch : public ::testing::Test {
protected:
    void SetUp() override {
        loader_ = RecordingLoader();
        SetExternalLoader(&loader_);
        SetUpExternalFunctions(kExternalFunctionCount, kExternalLibraryNames.data(), kExternalFunctionNames.data());
        gLaunches.clear();
    }
    void TearDown() override {
        SetExternalLoader(nullptr);
    }

    // Opens address on a new thread in that COM state; answers the thread's
    // COM state once the call has returned.
    static HRESULT OpenOnAThread(Apartment apartment, const char* address) {
        HRESULT after = E_FAIL;
        std::thread thread([&] {
            HRESULT entered = Enter(apartment);
            app::OpenInBrowser(address);
            APTTYPE type;
            APTTYPEQUALIFIER qualifier;
            after = CoGetApartmentType(&type, &qualifier) == S_OK ? static_cast<HRESULT>(ApartmentOf(type))
                                                                  : CO_E_NOTINITIALIZED;
            if (SUCCEEDED(entered)) Leave(apartment);
        });
        thread.join();
        return after;
    }

    ExternalLoader loader_{};
};

TEST_F(BrowserLaunch, EveryThreadLaunchesSynchronouslyInAnApartmentAndKeepsItsOwnComState) {
    struct Case {
        Apartment apartment;
        APTTYPE during;
        HRESULT after;
    };
    const Case cases[] = {
        {Apartment::kNone, APTTYPE_STA, CO_E_NOTINITIALIZED},
        {Apartment::kSingleThreaded, APTTYPE_STA, APTTYPE_STA},
        {Apartment::kMultithreaded, APTTYPE_MTA, APTTYPE_MTA},
    };
    // "下载" in GBK: the address reaches the shell as UTF-16.
    const char address[] = "http://127.0.0.1:1/\xCF\xC2\xD4\xD8.zip";
    for (const Case& c : cases) {
        gLaunches.clear();
        HRESULT after = OpenOnAThread(c.apartment, address);
        SCOPED_TRACE(static_cast<int>(c.apartment));
        ASSERT_EQ(gLaunches.size(), 1u);
        const Launch& launch = gLaunches[0];
        EXPECT_EQ(launch.entry, "ShellExecuteExW");
        EXPECT_EQ(launch.mask & SEE_MASK_NOASYNC, static_cast<ULONG>(SEE_MASK_NOASYNC)) << "complete on return";
        EXPECT_EQ(launch.verb, L"open");
        EXPECT_EQ(launch.file, L"http://127.0.0.1:1/\u4E0B\u8F7D.zip");
        EXPECT_EQ(launch.show, SW_SHOWNORMAL);
        EXPECT_EQ(launch.apartmentQuery, S_OK) << "COM initialised during the launch";
        EXPECT_EQ(launch.apartment, c.during);
        EXPECT_EQ(after, c.after) << "the thread's own COM state afterwards";
    }
}

TEST_F(BrowserLaunch, OnlyWebAddressesReachTheShell) {
    const char* const refused[] = {"", "calc.exe", "file:///C:/windows/win.ini", "C:\\windows\\notepad.exe",
                                   "ftp://127.0.0.1/", "mailto:a@b"};
    for (const char* address : refused) OpenOnAThread(Apartment::kNone, address);
    EXPECT_TRUE(gLaunches.empty());
    OpenOnAThread(Apartment::kNone, "HTTPS://127.0.0.1:1/");
    EXPECT_EQ(gLaunches.size(), 1u);
}

}  // namespace
}  // namespace lyra
