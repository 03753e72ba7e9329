#pragma once
// One structured fault guard around a whole run mode.

#include <cstdint>

// Runs `run(context)` and returns its result. A fault inside it that no
// inner handler takes (an access violation, a stack overflow, an uncaught
// exception) is first offered to the platform's unhandled-exception filter:
// when that answers "execute the handler", the run is abandoned, `faulted`
// is set and the result is -1; its other answers keep their meaning (look
// further, or resume at the fault). Not reentrant: one guard per process.
int64_t RunGuarded(int64_t (*run)(void* context), void* context, bool& faulted);
