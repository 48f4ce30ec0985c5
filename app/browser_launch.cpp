// Opening a web address in the person's browser, for the update and the
// closing box.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/routines.h"
#include "app/services.h"
#include "program/external_functions.h"

namespace lyra::app {

namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

bool IsWebAddress(const char* address) {
    return address != nullptr && (_strnicmp(address, "http://", 7) == 0 || _strnicmp(address, "https://", 8) == 0);
}

void OpenInBrowser(const char* address) {
    // A page on the network decides the download address: never let it make
    // the shell start a local program or open a file.
    if (!IsWebAddress(address)) return;
    int length = MultiByteToWideChar(kGbkCodePage, 0, address, -1, nullptr, 0);
    if (length <= 0) return;
    std::wstring file(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, address, -1, &file[0], length);

    // The shell may hand the launch to COM objects of its own, so the calling
    // thread needs an apartment; and the update ends the program as soon as
    // this returns, so the launch must be complete by then.
    const intptr_t reserved[1] = {0};
    auto initialised = static_cast<HRESULT>(kServices.CallExternalFunction(kCoInitialize, 1, reserved));
    SHELLEXECUTEINFOW launch{};
    launch.cbSize = sizeof launch;
    launch.fMask = SEE_MASK_NOASYNC;
    launch.lpVerb = L"open";
    launch.lpFile = file.c_str();
    launch.nShow = SW_SHOWNORMAL;
    const intptr_t args[1] = {reinterpret_cast<intptr_t>(&launch)};
    kServices.CallExternalFunction(kShellExecuteExW, 1, args);
    if (SUCCEEDED(initialised)) kServices.CallExternalFunction(kCoUninitialize, 0, nullptr);
}

}  // namespace lyra::app
