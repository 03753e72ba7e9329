// The module's entry. The runtime's parsed arguments are not used: the
// switch is read from the raw command line.
#include <windows.h>

#include "host/start_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartFromCommandLine();
}
