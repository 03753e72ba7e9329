#include "host/screen_lock.h"

#include <windows.h>

#include "host/entry_lookup_win32.h"
#include "host/run_mode.h"

namespace {

constexpr UINT kScreenSaverRunning = 97;  // SPI_SETSCREENSAVERRUNNING

}  // namespace

void AnnounceSaverRunning(SaverHostState& state, bool running) {
    if (!state.legacyPlatform) return;
    UINT previous = 0;
    SystemParametersInfoA(kScreenSaverRunning, running ? 1 : 0, &previous, 0);
}

void LoadLockSettings(SaverHostState& state) {
    // A 64-bit module never runs on the legacy family, whose password
    // libraries this would load; the session's own lock guards the desktop.
    if (!state.legacyPlatform) return;
    UnloadLockLibrary(state);
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

bool VerifyCloseRequest(SaverHostState& state, void* window) {
    if (state.verifying) return false;  // a request from input during the verification itself
    if (state.verifyEntry == nullptr) {
        state.closeAllowed = true;
        return true;
    }
    const DWORD now = GetTickCount();
    if (state.lastVerifyTick != 0xFFFFFFFF && now - state.lastVerifyTick < 200) return state.closeAllowed;

    state.verifying = true;
    MSG pending;
    for (int i = 0; i < 2; ++i)
        PeekMessageA(&pending, static_cast<HWND>(window), WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    const LRESULT answer = SendMessageA(static_cast<HWND>(window), WM_APP, 0, 0);
    state.verifying = false;
    state.closeAllowed = answer != 0;
    if (!state.closeAllowed) SetCursor(nullptr);
    state.lastVerifyTick = GetTickCount();
    return state.closeAllowed;
}

int64_t AnswerVerifyRequest(SaverHostState& state, void* window) {
    if (state.verifyEntry == nullptr) return 1;
    return state.verifyEntry(window);
}

int64_t RunPasswordChange(SaverHostState&, const char* text) {
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(ParseWindowNumber(text)));
    if (owner == nullptr || !IsWindow(owner)) owner = GetForegroundWindow();
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return 0;
    using ChangeEntry = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    if (auto change = LookUpEntry<ChangeEntry>(library, "PwdChangePasswordA"))
        change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(library);
    return 0;
}
