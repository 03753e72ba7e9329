// PASSWORD.CPL for the tests: a verifier that logs each call and answers
// what the test has set (see lock_standin.h).

#include "lock_standin.h"

namespace {

HWND askedWindow = nullptr;

// What a real dialog does meanwhile: show the pointer and run its own
// loop, which dispatches the saver window's messages.
void HoldDialogOpen(unsigned long milliseconds) {
    SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    askedWindow = window;
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    standin::Log("verify", "window=%llu running=%d", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
                 running ? 1 : 0);
    const standin::Answer answer = standin::ReadAnswer();
    HoldDialogOpen(answer.holdMs);
    if (answer.postClose != 0) PostMessageA(window, WM_CLOSE, 0, 0);
    standin::Log("verified", "answer=%d", answer.value);
    return answer.value;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    standin::LogAttachment(instance, reason, reserved, "PASSWORD.CPL");
    // Whether the saver window still existed when the library was freed.
    if (reason == DLL_PROCESS_DETACH && askedWindow != nullptr)
        standin::Log("window", "exists=%d", IsWindow(askedWindow) ? 1 : 0);
    return TRUE;
}
