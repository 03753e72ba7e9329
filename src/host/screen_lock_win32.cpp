#include "host/screen_lock_win32.h"

#include "host/close_rules.h"
#include "host/entry_lookup_win32.h"
#include "host/run_mode.h"
#include "host/screen_lock.h"

namespace {

constexpr UINT kScreenSaverRunning = 97;  // SPI_SETSCREENSAVERRUNNING

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
void ArmVerifier(SaverHostState& state) {
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (library == nullptr) return;
    state.lockLibrary = library;
    state.verifyEntry = LookUpEntry<VerifyEntry>(library, "VerifyScreenSavePwd");
    if (state.verifyEntry != nullptr) AnnounceSaverRunning(state, true);
    else UnloadLockLibrary(state);
}

// Ticks already due would be the first thing the dialog's own message loop
// dispatches: a frame drawn over the dialog as it opens.
void DropPendingTicks(HWND window) {
    MSG pending;
    for (int i = 0; i < 2; ++i) PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
}

}  // namespace

void AnnounceSaverRunning(SaverHostState& state, bool running) {
    if (!state.legacyPlatform) return;
    UINT previous = 0;
    SystemParametersInfoA(kScreenSaverRunning, running ? 1 : 0, &previous, 0);
}

void LoadLockSettings(SaverHostState& state) {
    if (!state.legacyPlatform) return;
    if (state.lockLibrary != nullptr) UnloadLockLibrary(state);
    HKEY desktop = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &desktop) != ERROR_SUCCESS)
        return;
    if (UsesPassword(desktop)) ArmVerifier(state);
    RegCloseKey(desktop);
}

void UnloadLockLibrary(SaverHostState& state) {
    if (!state.legacyPlatform || state.lockLibrary == nullptr) return;
    FreeLibrary(static_cast<HMODULE>(state.lockLibrary));
    state.lockLibrary = nullptr;
    if (state.verifyEntry != nullptr) {
        state.verifyEntry = nullptr;
        AnnounceSaverRunning(state, false);
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

int64_t AnswerVerifyRequest(SaverHostState& state, HWND window) {
    if (state.verifyEntry == nullptr) return 1;
    return state.verifyEntry(window);
}

int64_t RunPasswordChange(const char* text) {
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(ParseWindowNumber(text)));
    if (owner == nullptr || !IsWindow(owner)) owner = GetForegroundWindow();
    ChangeLockPassword(owner);
    return 0;
}

void ChangeLockPassword(HWND owner) {
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    if (auto change = LookUpEntry<ChangePasswordEntry>(library, "PwdChangePasswordA"))
        change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(library);
}
