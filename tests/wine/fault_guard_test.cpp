#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "host/fault_guard_win32.h"

namespace {

int64_t WriteThroughAWildPointer(void* address) {
    *static_cast<volatile int*>(address) = 1;
    return 5;
}

int64_t Answer(void* value) {
    return *static_cast<int64_t*>(value);
}

// The platform's filter asks the filter that was there before the guard
// first; answering for it keeps a debugger or a crash report from starting
// and gives the answer the platform gives once it has reported the fault.
LONG WINAPI ExecuteTheHandler(EXCEPTION_POINTERS*) {
    return EXCEPTION_EXECUTE_HANDLER;
}

class FaultGuard : public ::testing::Test {
protected:
    void SetUp() override { previous_ = SetUnhandledExceptionFilter(ExecuteTheHandler); }
    void TearDown() override { SetUnhandledExceptionFilter(previous_); }
    LPTOP_LEVEL_EXCEPTION_FILTER previous_ = nullptr;
};

TEST_F(FaultGuard, AFaultAbandonsTheRunWithMinusOneAndTheNextRunIsGuardedAgain) {
    volatile uintptr_t wild = 0x10;
    bool faulted = false;
    EXPECT_EQ(RunGuarded(WriteThroughAWildPointer, reinterpret_cast<void*>(wild), faulted), -1);
    EXPECT_TRUE(faulted);

    EXPECT_EQ(RunGuarded(WriteThroughAWildPointer, reinterpret_cast<void*>(wild), faulted), -1);
    EXPECT_TRUE(faulted);

    int64_t value = 0x1'2345'6789;
    EXPECT_EQ(RunGuarded(Answer, &value, faulted), 0x1'2345'6789);
    EXPECT_FALSE(faulted);
}

TEST_F(FaultGuard, TheOuterFilterIsBackAfterTheRun) {
    int64_t value = 7;
    bool faulted = false;
    RunGuarded(Answer, &value, faulted);
    volatile uintptr_t wild = 0x10;
    RunGuarded(WriteThroughAWildPointer, reinterpret_cast<void*>(wild), faulted);
    EXPECT_EQ(SetUnhandledExceptionFilter(ExecuteTheHandler), ExecuteTheHandler);
}

std::atomic<int> otherThreadFaults{0};

// Stands in for what the platform does with a fault that nothing handles,
// without ending the test's process: only that thread ends.
LONG WINAPI EndTheFaultingThread(EXCEPTION_POINTERS*) {
    ++otherThreadFaults;
    ExitThread(0);
}

DWORD WINAPI FaultOnThisThread(void*) {
    volatile uintptr_t wild = 0x10;
    *reinterpret_cast<volatile int*>(wild) = 1;
    return 0;
}

int64_t FaultOnAnotherThread(void*) {
    HANDLE thread = CreateThread(nullptr, 0, FaultOnThisThread, nullptr, 0, nullptr);
    if (thread == nullptr) return -2;
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    return 7;
}

// Resumed where the guard began, the other thread would run on the guarded
// thread's stack; it goes to the filter that was there before instead.
TEST_F(FaultGuard, AFaultOnAnotherThreadGoesToTheFilterBeforeTheGuard) {
    SetUnhandledExceptionFilter(EndTheFaultingThread);
    bool faulted = true;
    EXPECT_EQ(RunGuarded(FaultOnAnotherThread, nullptr, faulted), 7);
    EXPECT_FALSE(faulted);
    EXPECT_EQ(otherThreadFaults, 1);
}

}  // namespace
