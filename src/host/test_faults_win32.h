#pragma once
// Faults on demand, for the end-to-end tests of what the module does when
// something fails. Only the test build of the module (KORUNEX_TEST_FAULTS)
// has them; in the shipped module each point is nothing at all.
//
// The test run names one point and when it fails in the environment
// variable KORUNEX_TEST_FAULT, as "POINT:N" (its Nth passage only) or
// "POINT:N+" (the Nth and every later one):
//   frame   a frame writes through a null pointer
//   thread  a frame starts a thread that writes through a null pointer
//   close   deciding a close request throws a C++ exception
//   write   a write of the settings file fails
//   cursor  a read of the cursor position fails

#ifdef KORUNEX_TEST_FAULTS

// Acts for `point` when the test run asks for it now: faults, starts the
// faulting thread or throws. True when a failure that the caller makes
// (a write, a cursor read) is due.
bool TestFaultPoint(const char* point);
#define KORUNEX_TEST_FAULT(point) TestFaultPoint(point)

#else

constexpr bool NoTestFault(const char*) { return false; }
#define KORUNEX_TEST_FAULT(point) NoTestFault(point)

#endif
