#pragma once
// Faults on demand, for the end-to-end tests of what the module does when
// something fails. The module's test build links test_faults_win32.cpp; the
// shipped module and every other program link no_test_faults_win32.cpp, in
// which no point ever fails.
//
// The test run names one point and when it fails in the environment
// variable KORUNEX_TEST_FAULT, as "POINT:N" (its Nth passage only) or
// "POINT:N+" (the Nth and every later one):
//   frame   a frame writes through a null pointer
//   thread  a frame starts a thread that writes through a null pointer
//   close   deciding a close request throws a C++ exception
//   write   a write of the settings file fails
//   cursor  a read of the cursor position fails

// Acts for `point` when the test run asks for it now: faults, starts the
// faulting thread or throws. True when a failure that the caller makes
// (a write, a cursor read) is due.
bool TestFaultPoint(const char* point);
