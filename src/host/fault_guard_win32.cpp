#include "host/fault_guard_win32.h"

#include <windows.h>

// g++ has no __try/__except. The guard is a top-level filter, which the
// platform calls for every fault no frame handles, and a context captured
// where the guarded run starts: answering "execute the handler" resumes
// there, as an __except block would, with the run's frames abandoned.

namespace {

struct GuardFrame {
    CONTEXT resume;
    volatile bool faulted;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter;
};

GuardFrame* activeGuard = nullptr;

LONG WINAPI OfferToPlatform(EXCEPTION_POINTERS* fault) {
    GuardFrame* guard = activeGuard;
    if (guard == nullptr) return EXCEPTION_CONTINUE_SEARCH;
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

// Faults inside timer messages would otherwise be swallowed by the message
// dispatch, and the next tick would draw from whatever state the fault left.
void StopTimerFaultSuppression() {
    constexpr int kTimerProcExceptionSuppression = 7;  // UOI_TIMERPROC_EXCEPTION_SUPPRESSION
    BOOL suppress = FALSE;
    SetUserObjectInformationW(GetCurrentProcess(), kTimerProcExceptionSuppression, &suppress,
                              sizeof suppress);
}

}  // namespace

int64_t RunGuarded(int64_t (*run)(void* context), void* context, bool& faulted) {
    StopTimerFaultSuppression();
    GuardFrame guard{};
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
