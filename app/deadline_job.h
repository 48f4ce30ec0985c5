// Work that runs on a thread of its own while the thread that started it
// waits for it only up to a deadline. A job that is still running at the
// deadline is left to finish alone: its thread then runs at the lowest
// priority, and the job frees itself when its work returns. Whatever the
// work writes, it writes into the job object, never into the starter's
// state, so an abandoned job touches nothing that the starter goes on using.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace lyra::app {

class DeadlineJob {
public:
    DeadlineJob();
    DeadlineJob(const DeadlineJob&) = delete;
    DeadlineJob& operator=(const DeadlineJob&) = delete;

    // Runs Run() on a new thread; when no thread can be made, runs it here
    // and returns when it has returned.
    void Start();
    // True once Run() has returned or called ResultsComplete(); false when
    // the deadline (a GetTickCount64 value) passed first.
    bool WaitUntil(uint64_t deadline);
    // The starter lets go of the job; the object must not be used after.
    void Release();

    // True once the starter has let go: work in progress should stop at its
    // next opportunity.
    bool abandoned() const { return abandoned_.load(); }
    // The same, as a flag that work which cannot ask abandoned() (a matcher
    // deep in a run) polls.
    const std::atomic<bool>& abandonedFlag() const { return abandoned_; }

    // Guards what Run() publishes while the starter may be reading it.
    CRITICAL_SECTION& lock() { return lock_; }

    // How many jobs exist, abandoned ones included.
    static long LiveCount();

protected:
    virtual ~DeadlineJob();
    virtual void Run() = 0;
    // For Run(): what the starter reads is complete, only letting go of
    // resources remains (which may block: WinINet drains a connection).
    void ResultsComplete() { SetEvent(finished_); }

private:
    static DWORD WINAPI ThreadEntry(void* job);
    void Unreference();

    CRITICAL_SECTION lock_;
    HANDLE finished_;
    HANDLE thread_ = nullptr;
    std::atomic<long> references_{2};
    std::atomic<bool> abandoned_{false};
};

// Milliseconds left until deadline (a GetTickCount64 value), 0 when past.
uint32_t MillisecondsLeft(uint64_t deadline);

// Holds a critical section for the life of the object.
class Locked {
public:
    explicit Locked(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~Locked() { LeaveCriticalSection(&section_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& section_;
};

}  // namespace lyra::app
