#pragma once
// The process entry: it dispatches to the run modes.

// Cuts the argument tail out of the raw command line, runs its mode and ends
// the process with the low 32 bits of the result. Never returns.
[[noreturn]] void StartFromCommandLine();
