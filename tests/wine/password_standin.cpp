// PASSWORD.CPL for the tests: a verifier that logs each call and answers
// what the test has set (see lock_standin.h). Built a second time without
// its entry (KORUNEX_STANDIN_WITHOUT_VERIFY), as a library that lacks it.

#include "lock_standin.h"

#include <imm.h>

namespace {

HWND askedWindow = nullptr;
HHOOK destroyWatch = nullptr;

uintptr_t NumberOf(const void* handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

// The input context of the asked window once the saver has handled its
// WM_DESTROY, where it gives back what it took at creation.
LRESULT CALLBACK AfterEachMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == askedWindow && message->message == WM_DESTROY) {
        HIMC context = ImmGetContext(askedWindow);
        standin::Log("input-method", "at=destroy context=%llu", static_cast<unsigned long long>(NumberOf(context)));
        if (context != nullptr) ImmReleaseContext(askedWindow, context);
    }
    return CallNextHookEx(destroyWatch, code, wParam, lParam);
}

// The saver window's input context while it runs, beside the one that a
// new window of the same thread gets.
[[maybe_unused]] void LogInputMethod(HWND window) {
    HIMC context = ImmGetContext(window);
    HWND fresh = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HIMC freshContext = ImmGetContext(fresh);
    standin::Log("input-method", "at=verify context=%llu fresh=%llu", static_cast<unsigned long long>(NumberOf(context)),
                 static_cast<unsigned long long>(NumberOf(freshContext)));
    if (context != nullptr) ImmReleaseContext(window, context);
    if (freshContext != nullptr) ImmReleaseContext(fresh, freshContext);
    DestroyWindow(fresh);
    if (destroyWatch == nullptr)
        destroyWatch = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterEachMessage, nullptr, GetCurrentThreadId());
}

// What a real dialog does meanwhile: show the pointer and run its own
// loop, which dispatches the saver window's messages.
[[maybe_unused]] void HoldDialogOpen(unsigned long milliseconds) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
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

#ifndef KORUNEX_STANDIN_WITHOUT_VERIFY
extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    askedWindow = window;
    LogInputMethod(window);
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
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    standin::LogAttachment(instance, reason, reserved, "PASSWORD.CPL");
    // Whether the saver window still existed when the library was freed.
    if (reason == DLL_PROCESS_DETACH && askedWindow != nullptr)
        standin::Log("window", "exists=%d", IsWindow(askedWindow) ? 1 : 0);
    if (reason == DLL_PROCESS_DETACH && destroyWatch != nullptr) UnhookWindowsHookEx(destroyWatch);
    return TRUE;
}
