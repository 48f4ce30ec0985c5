// Threads in the runtime, and the one rule every layer keeps.
//
// The main thread runs start-up, every window, the message loop, all event
// routines and shutdown. Windows, components and the loaded template are
// window-thread state. Worker threads (lookups, the update check) call
// commands, properties and requests from any moment of the program's life.
//
// The rule:
// - A worker never reads or changes window-thread state directly. It asks
//   the window thread (RunOnMainThread, a sent or posted message), or it
//   works on state made to be shared: immutable after start-up (the program
//   image, the library table, the external function names), or guarded by
//   a lock of its own (a list's row model, the bound external addresses).
// - Nothing a worker may reach is freed while workers can run: the runtime
//   tables, the loaded template and every component object stay until the
//   process ends. The process ends through ExitProcess right after the
//   runtime's shutdown, so no C-runtime teardown runs under a live worker.
// - Once the program is ending (programEnding), a worker's unit access is
//   neutral: properties read 0 or the empty text, writes and list commands
//   do nothing, kRequestUnitObject and kRequestRequiredUnitObject answer 0;
//   no error box, no wait on a window that is gone.
// - Every wait on another thread, a window or the network has a deadline,
//   or is a sent message to a window that answers while the program runs.
#pragma once

namespace lyra {

// True on the thread that ran start-up (or before start-up has recorded it).
bool OnMainThread();

// Runs fn on the main thread (through the helper window) and waits for it;
// on the main thread it runs directly. False when it could not run: a
// worker asked once the program was ending, or after the helper window was
// gone.
bool RunOnMainThread(void (*fn)(void*), void* context);

// True once the last window is gone or shutdown has begun.
bool ProgramEnding();

}  // namespace lyra
