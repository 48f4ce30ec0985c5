// The application's routines: the event routines of the window template's
// bindings and the jobs that run on worker threads.
#pragma once

#include <cstdint>

#include "runtime/program_image.h"

namespace lyra::app {

// Event routines (ApplicationRoutine): none returns a value.
bool StartUpdateThread(const int64_t* args, int argCount, int64_t* result);
bool ConfirmClose(const int64_t* args, int argCount, int64_t* result);
bool ClearPrompt(const int64_t* args, int argCount, int64_t* result);
bool RestorePrompt(const int64_t* args, int argCount, int64_t* result);
bool StartLookupOnEnter(const int64_t* args, int argCount, int64_t* result);
bool StartLookupThread(const int64_t* args, int argCount, int64_t* result);
bool ShowHelp(const int64_t* args, int argCount, int64_t* result);
bool ShowAbout(const int64_t* args, int argCount, int64_t* result);
bool SaveMusicLists(const int64_t* args, int argCount, int64_t* result);
bool CopyByHeaderBackground(const int64_t* args, int argCount, int64_t* result);
bool CopyMusicAddressBackground(const int64_t* args, int argCount, int64_t* result);
bool CopyByHeaderFavourite(const int64_t* args, int argCount, int64_t* result);
bool CopyMusicAddressFavourite(const int64_t* args, int argCount, int64_t* result);

// Jobs of the worker threads.
void LookupMusic();
void CheckForUpdate();

// Opens a web address with the shell's "open" verb (external function kShellExecuteExW),
// on any thread, and returns once the launch is over. Only http:// and
// https:// addresses are handed to the shell.
void OpenInBrowser(const char* address);
bool IsWebAddress(const char* address);

// Shows a message box through ShowMessageBox; answers 0 for OK, 1 for Cancel.
int32_t ShowBox(const char* content, int32_t flags, const char* title);

}  // namespace lyra::app
