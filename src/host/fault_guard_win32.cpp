#include "host/fault_guard_win32.h"

#include <windows.h>

#include <cassert>

// g++ has no __try/__except. The guard is a top-level filter, which the
// platform calls for every fault no frame handles, and a context captured
// where the guarded run starts: answering "execute the handler" resumes
// there, as an __except block would, with the run's frames abandoned.
//
// What it takes: a structured fault raised on the guarded thread in code
// that the run calls directly, which includes every message the loop
// dispatches (a frame is drawn from a dispatched timer message). A message
// that the platform sends from inside one of its own calls (WM_CREATE during
// window creation, WM_ERASEBKGND and WM_NCPAINT while a window is painted)
// runs in a callback from the kernel on 64-bit Windows, and a fault there is
// not a dependable case for the guard: as the process's exception policy
// says, the platform swallows it (the call returns as if the message was
// handled), ends the process, or offers it to the filters and swallows it
// when it leaves the callback.

namespace {

struct GuardFrame {
    CONTEXT resume;
    DWORD thread;  // the thread that entered the guard; only its faults are taken
    volatile bool faulted;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
};

GuardFrame* activeGuard = nullptr;

LONG WINAPI OfferToPlatform(EXCEPTION_POINTERS* fault) {
    GuardFrame* guard = activeGuard;
    if (guard == nullptr) return EXCEPTION_CONTINUE_SEARCH;
    // Another thread's fault is not ours to resume: the guarded context
    // belongs to another stack. It gets what it would get without the guard.
    if (GetCurrentThreadId() != guard->thread)
        return guard->previousFilter != nullptr ? guard->previousFilter(fault) : EXCEPTION_CONTINUE_SEARCH;
    // The platform's filter calls the top-level filter itself: step aside
    // for the call, or it would land here again.
    SetUnhandledExceptionFilter(guard->previousFilter);
    const LONG answer = UnhandledExceptionFilter(fault);
    if (answer != EXCEPTION_EXECUTE_HANDLER) {
        SetUnhandledExceptionFilter(OfferToPlatform);
        return answer;
    }
    guard->faulted = true;
    *fault->ContextRecord = guard->resume;
    return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

int64_t RunGuarded(int64_t (*run)(void* context), void* context, bool& faulted) {
    assert(activeGuard == nullptr && "one guard per process");
    GuardFrame guard{};
    guard.thread = GetCurrentThreadId();
    guard.previousFilter = SetUnhandledExceptionFilter(OfferToPlatform);
    activeGuard = &guard;

    int64_t result = -1;
    RtlCaptureContext(&guard.resume);  // a fault taken by the guard comes back here
    if (!guard.faulted) result = run(context);

    activeGuard = nullptr;
    SetUnhandledExceptionFilter(guard.previousFilter);
    faulted = guard.faulted;
    return faulted ? -1 : result;
}
