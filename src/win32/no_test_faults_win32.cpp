// The shipped module's fault points (test_faults_win32.h): none ever fails.
#include "win32/test_faults_win32.h"

bool TestFaultPoint(const char*) {
    return false;
}
