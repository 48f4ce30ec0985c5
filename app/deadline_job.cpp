#include "app/deadline_job.h"

namespace lyra::app {

namespace {

std::atomic<long> gLiveJobs{0};

}  // namespace

DeadlineJob::DeadlineJob() : finished_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
    ++gLiveJobs;
}

DeadlineJob::~DeadlineJob() {
    if (thread_ != nullptr) CloseHandle(thread_);
    if (finished_ != nullptr) CloseHandle(finished_);
    DeleteCriticalSection(&lock_);
    --gLiveJobs;
}

long DeadlineJob::LiveCount() { return gLiveJobs.load(); }

void DeadlineJob::Start() {
    thread_ = finished_ != nullptr ? CreateThread(nullptr, 0, &DeadlineJob::ThreadEntry, this, 0, nullptr) : nullptr;
    if (thread_ != nullptr) return;
    // No thread (or no event to wait on): the work runs here, unbounded,
    // which is what the caller had before it had deadlines.
    references_ = 1;
    Run();
    if (finished_ != nullptr) SetEvent(finished_);
}

DWORD WINAPI DeadlineJob::ThreadEntry(void* context) {
    auto* job = static_cast<DeadlineJob*>(context);
    job->Run();
    SetEvent(job->finished_);
    job->Unreference();
    return 0;
}

bool DeadlineJob::WaitUntil(uint64_t deadline) {
    if (finished_ == nullptr) return true;  // ran in Start
    for (;;) {
        // Waits of at most a day at a time: the deadline may lie further.
        uint32_t left = MillisecondsLeft(deadline);
        if (WaitForSingleObject(finished_, left < 86400000u ? left : 86400000u) == WAIT_OBJECT_0) return true;
        if (MillisecondsLeft(deadline) == 0) return false;
    }
}

void DeadlineJob::Release() {
    abandoned_ = true;
    if (thread_ != nullptr && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) {
        SetThreadPriority(thread_, THREAD_PRIORITY_LOWEST);
    }
    Unreference();
}

void DeadlineJob::Unreference() {
    if (--references_ == 0) delete this;
}

uint32_t MillisecondsLeft(uint64_t deadline) {
    uint64_t now = GetTickCount64();
    if (now >= deadline) return 0;
    uint64_t left = deadline - now;
    return left > 0xFFFFFFF0u ? 0xFFFFFFF0u : static_cast<uint32_t>(left);
}

}  // namespace lyra::app
