#pragma once
// One structured fault guard around a whole run mode.

#include <cstdint>

// Runs `run(context)` and returns its result. A structured fault (an access
// violation, a stack overflow, an uncaught exception) that no inner handler
// takes, raised on the calling thread outside the platform's kernel
// callbacks, is first offered to the platform's unhandled-exception filter:
// when that answers "execute the handler", the run is abandoned, `faulted`
// is set and the result is -1; its other answers keep their meaning (look
// further, or resume at the fault). A fault on any other thread goes on to
// the filter that was set before, or to the platform's default handling.
// Not reentrant: one guard per process.
int64_t RunGuarded(int64_t (*run)(void* context), void* context, bool& faulted);
