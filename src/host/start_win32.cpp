#include "host/start_win32.h"

#include <commctrl.h>

#include "host/entry_lookup_win32.h"
#include "host/fault_guard_win32.h"
#include "host/run_mode.h"
#include "host/saver_window_win32.h"
#include "host/screen_lock_win32.h"
#include "settings/settings_dialog_win32.h"

namespace {

constexpr DWORD kLegacyPlatformId = 1;  // VER_PLATFORM_WIN32_WINDOWS

const char* NextChar(const char* position) {
    return CharNextA(position);
}

bool IsLegacyPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    return GetVersionExA(&version) && version.dwPlatformId == kLegacyPlatformId;
}

HWND AsWindow(uint64_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

HWND OwnerOrForeground(uint64_t number) {
    HWND owner = AsWindow(number);
    return owner != nullptr && IsWindow(owner) ? owner : GetForegroundWindow();
}

int64_t RunSwitchedMode(void* tail) {
    const RunSwitch chosen = ReadRunSwitch(static_cast<const char*>(tail), saverHost.legacyPlatform);
    switch (chosen.mode) {
    case RunMode::kSettings: return OpenSettingsDialog(nullptr);
    case RunMode::kSettingsOwned: return OpenSettingsDialog(OwnerOrForeground(chosen.windowNumber));
    case RunMode::kFullScreen: return RunSaverWindow(nullptr);
    case RunMode::kPreview: return RunPreview(chosen.numberText);
    case RunMode::kPasswordChange: return RunPasswordChange(chosen.numberText);
    case RunMode::kInvalid: break;
    }
    return -1;
}

}  // namespace

void HardenProcessHeap() {
    using SetHeapInformation = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
    auto setInformation = LookUpEntry<SetHeapInformation>(GetModuleHandleA("KERNEL32.DLL"), "HeapSetInformation");
    if (setInformation != nullptr) setInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

int64_t OpenSettingsDialog(HWND owner) {
    return RunSettingsDialog(static_cast<HINSTANCE>(saverHost.moduleInstance), owner);
}

int64_t RunPreview(const char* text) {
    HWND parent = AsWindow(ParseWindowNumber(text));
    if (parent == nullptr || !IsWindow(parent)) return -1;
    return RunSaverWindow(parent);
}

int64_t DispatchRunMode(HINSTANCE moduleInstance, const char* tail) {
    HardenProcessHeap();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    saverHost.moduleInstance = moduleInstance;
    saverHost.legacyPlatform = IsLegacyPlatform();

    bool faulted = false;
    const int64_t result = RunGuarded(RunSwitchedMode, const_cast<char*>(tail), faulted);
    if (faulted) AnnounceSaverRunning(saverHost, false);
    return result;
}

void StartFromCommandLine() {
    const char* tail = CutArgumentTail(GetCommandLineA(), NextChar);
    const int64_t result = DispatchRunMode(GetModuleHandleA(nullptr), tail);
    ExitProcess(static_cast<UINT>(static_cast<uint64_t>(result) & 0xFFFFFFFF));
}
