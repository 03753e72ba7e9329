#include "host/start_win32.h"

#include <windows.h>

#include <commctrl.h>

#include "host/fault_guard_win32.h"
#include "host/run_mode.h"
#include "host/saver_window_win32.h"
#include "host/screen_lock_win32.h"
#include "host/screens_win32.h"
#include "settings/settings_dialog_win32.h"
#include "win32/entry_lookup_win32.h"
#include "win32/window_record_win32.h"

namespace {

// What every run mode of the process starts from.
struct ModeStart {
    HINSTANCE module;
    bool legacyPlatform;
    const char* tail;
};

const char* NextChar(const char* position) {
    return CharNextA(position);
}

bool IsLegacyPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 148
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The preview inside the parent window whose number starts `text`; -1 when
// there is no such window.
int64_t RunPreview(const ModeStart& start, const char* text) {
    HWND parent = AsWindow(ParseWindowNumber(text));
    if (parent == nullptr || !IsWindow(parent)) return -1;
    return RunSaverWindow(start.module, start.legacyPlatform, parent);
}

int64_t RunSwitchedMode(void* context) {
    const ModeStart& start = *static_cast<const ModeStart*>(context);
    const RunSwitch chosen = ReadRunSwitch(start.tail, start.legacyPlatform);
    const HWND previewParent = chosen.mode == RunMode::kPreview ? AsWindow(ParseWindowNumber(chosen.numberText)) : nullptr;
    ChooseDpiAwareness(chosen.mode, IsWindow(previewParent) ? previewParent : nullptr);
    switch (chosen.mode) {
    case RunMode::kSettings: return RunSettingsDialog(start.module, nullptr);
    case RunMode::kSettingsOwned: return RunSettingsDialog(start.module, WindowOrForeground(chosen.windowNumber));
    case RunMode::kFullScreen: return RunSaverWindow(start.module, start.legacyPlatform, nullptr);
    case RunMode::kPreview: return RunPreview(start, chosen.numberText);
    case RunMode::kPasswordChange: return RunPasswordChange(chosen.numberText);
    case RunMode::kInvalid: break;
    }
    return -1;
}

// Asks the platform to end the process when it finds its heap corrupted.
void HardenProcessHeap() {
    using SetHeapInformation = BOOL(WINAPI*)(HANDLE, HEAP_INFORMATION_CLASS, PVOID, SIZE_T);
    auto setInformation = LookUpEntry<SetHeapInformation>(GetModuleHandleA("KERNEL32.DLL"), "HeapSetInformation");
    if (setInformation != nullptr) setInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
}

// Prepares the process (heap policy, common controls, platform family) and
// runs the mode the tail's switch names, inside the fault guard.
int64_t DispatchRunMode(HINSTANCE moduleInstance, const char* tail) {
    HardenProcessHeap();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    ModeStart start{moduleInstance, IsLegacyPlatform(), tail};

    bool faulted = false;
    const int64_t result = RunGuarded(RunSwitchedMode, &start, faulted);
    if (faulted) AnnounceSaverRunning(start.legacyPlatform, false);
    return result;
}

}  // namespace

void StartFromCommandLine() {
    const char* tail = CutArgumentTail(GetCommandLineA(), NextChar);
    const int64_t result = DispatchRunMode(GetModuleHandleA(nullptr), tail);
    ExitProcess(static_cast<UINT>(static_cast<uint64_t>(result) & 0xFFFFFFFF));
}
