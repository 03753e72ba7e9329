#include "host/screen_lock_win32.h"

#include "host/close_rules.h"
#include "host/run_mode.h"
#include "host/screen_lock.h"
#include "win32/entry_lookup_win32.h"
#include "win32/window_record_win32.h"

namespace {

using ChangePasswordEntry = DWORD(WINAPI*)(LPCSTR provider, HWND owner, DWORD reserved1, LPVOID reserved2);

// The value's type is not looked at; a value shorter than 4 bytes fills only
// its own bytes, and one longer than 4 fails the query: the password is off.
bool UsesPassword(HKEY desktop) {
    uint32_t usePassword = 0;
    DWORD size = sizeof usePassword;
    return RegQueryValueExA(desktop, "ScreenSaveUsePassword", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&usePassword), &size) == ERROR_SUCCESS &&
           usePassword != 0;
}

// A library without the entry is freed again before anything is announced.
void ArmVerifier(SaverHostState& state, PasswordLibrary& lock) {
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) return;
    lock.library = library;
    lock.verify = LookUpEntry<decltype(lock.verify)>(library, "VerifyScreenSavePwd");
    state.passwordOn = lock.verify != nullptr;
    if (state.passwordOn) AnnounceSaverRunning(state.legacyPlatform, true);
    else UnloadLockLibrary(state, lock);
}

// Ticks already due would be the first thing the dialog's own message loop
// dispatches: a frame drawn over the dialog as it opens.
void DropPendingTicks(HWND window) {
    MSG pending;
    for (int i = 0; i < 2; ++i) PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

}  // namespace

void AnnounceSaverRunning(bool legacyPlatform, bool running) {
    if (!legacyPlatform) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, &previous, 0);
}

void LoadLockLibrary(SaverHostState& state, PasswordLibrary& lock) {
    if (!state.legacyPlatform) return;
    if (lock.library != nullptr) UnloadLockLibrary(state, lock);
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) != ERROR_SUCCESS)
        return;
    if (UsesPassword(desktop)) ArmVerifier(state, lock);
    RegCloseKey(desktop);
}

void UnloadLockLibrary(SaverHostState& state, PasswordLibrary& lock) {
    if (!state.legacyPlatform || lock.library == nullptr) return;
    FreeLibrary(lock.library);
    lock.library = nullptr;
    if (lock.verify != nullptr) {
        lock.verify = nullptr;
        state.passwordOn = false;
        AnnounceSaverRunning(state.legacyPlatform, false);
    }
}

bool VerifyCloseRequest(SaverHostState& state, HWND window) {
    const CloseRequestStep step = BeginCloseRequest(state, GetTickCount());
    if (!step.askVerifier) return step.mayClose;
    DropPendingTicks(window);
    // Through the window's own chain, so that the dialog runs inside its
    // message handling and everything it dispatches meets `verifying`.
    const LRESULT answer = SendMessageA(window, msg::kVerifyRequest, 0, 0);
    const bool mayClose = FinishVerification(state, answer, GetTickCount());
    if (!mayClose) SetCursor(nullptr);  // the dialog showed the pointer
    return mayClose;
}

int64_t AnswerVerifyRequest(const PasswordLibrary& lock, HWND window) {
    if (lock.verify == nullptr) return 1;
    return lock.verify(window);
}

int64_t RunPasswordChange(const char* text) {
    ChangeLockPassword(WindowOrForeground(ParseWindowNumber(text)));
    return 0;
}

void ChangeLockPassword(HWND owner) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    if (auto change = LookUpEntry<ChangePasswordEntry>(library, "PwdChangePasswordA"))
        change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(library);
}
