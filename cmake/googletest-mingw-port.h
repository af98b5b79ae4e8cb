// GoogleTest's hook for local settings (include/gtest/internal/custom/gtest-port.h),
// put in place by scripts/windows for the Windows build. GCC 12's win32 thread
// model has no std::mutex or std::condition_variable, which GoogleTest 1.12's
// Notification is made of; this one polls a flag instead. GoogleTest uses it
// only to start the threads of its own thread-safety tests.
#ifndef GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_
#define GOOGLETEST_INCLUDE_GTEST_INTERNAL_CUSTOM_GTEST_PORT_H_

#include <atomic>  // also defines _GLIBCXX_HAS_GTHREADS where threads are there

#if defined(__MINGW32__) && !defined(_GLIBCXX_HAS_GTHREADS)
// kernel32's, declared here as GoogleTest keeps <windows.h> out of its headers.
extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

#define GTEST_HAS_NOTIFICATION_ 1
namespace testing {
namespace internal {
class Notification {
public:
    void Notify() { notified_ = true; }
    void WaitForNotification()
    {
        while (!notified_)
            Sleep(1);
    }

private:
    std::atomic<bool> notified_{false};
};
}  // namespace internal
}  // namespace testing
#endif

#endif
