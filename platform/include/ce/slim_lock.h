// A slim reader/writer lock taken exclusively, for use with std::lock_guard. Unlike std::mutex
// in this runtime (winpthreads), it never allocates a kernel object when contended, so a
// long-lived lock does not add a handle to the process the first time two threads meet at it.
#pragma once

#include <windows.h>

namespace ce {

class SlimLock {
public:
    SlimLock() = default;
    SlimLock(const SlimLock&) = delete;
    SlimLock& operator=(const SlimLock&) = delete;

    void lock() { ::AcquireSRWLockExclusive(&lock_); }
    void unlock() { ::ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

} // namespace ce
