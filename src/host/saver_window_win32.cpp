#include "host/saver_window_win32.h"

#include "host/close_rules.h"
#include "host/entry_lookup_win32.h"
#include "host/procedure_barrier_win32.h"
#include "host/screen_lock_win32.h"
#include "host/test_faults_win32.h"
#include "render/logo_window_win32.h"

SaverHostState saverHost;

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kPreviewTitle[] = "Preview";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFullScreenExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
constexpr int kIconId = 100;

using AssociateContextEntry = HANDLE(WINAPI*)(HWND, HANDLE);

constexpr UINT kHelpForwardTimeoutMs = 500;

// The cursor's screen position, or false when it cannot be read (another
// desktop has the input).
bool ReadCursor(CursorPoint& cursor) {
    POINT point{};
    if (KORUNEX_TEST_FAULT("cursor") || !GetCursorPos(&point)) return false;
    cursor = {point.x, point.y};
    return true;
}

// Mouse movement is measured from here on; from the first position read
// when none can be read now, rather than from the screen's corner.
void ArmBaseline(SaverHostState& state) {
    state.cursorUnread = !ReadCursor(state.cursorBaseline);
}

// The input method is detached only if the process already has its
// library: loading it here would bring it into every saver.
void TakeInputMethod(SaverHostState& state, HWND window) {
    state.imeModule = GetModuleHandleA("IMM32.DLL");
    if (state.imeModule == nullptr) return;
    state.imeAssociateEntry = reinterpret_cast<void*>(
        LookUpEntry<AssociateContextEntry>(static_cast<HMODULE>(state.imeModule), "ImmAssociateContext"));
    if (state.imeAssociateEntry == nullptr) return;
    state.savedInputContext = reinterpret_cast<AssociateContextEntry>(state.imeAssociateEntry)(window, nullptr);
}

void GiveBackInputMethod(SaverHostState& state, HWND window) {
    if (state.imeModule == nullptr || state.imeAssociateEntry == nullptr || state.savedInputContext == nullptr)
        return;
    reinterpret_cast<AssociateContextEntry>(state.imeAssociateEntry)(window, state.savedInputContext);
}

// WM_HELP carries a pointer to its HELPINFO, which the platform refuses to
// post; sent, it is copied into the parent's process. A parent that does
// not answer in time cannot hold up the preview.
void ForwardToParent(HWND window, UINT message, LPARAM lParam) {
    HWND parent = GetParent(window);
    if (parent == nullptr || !IsWindow(parent)) return;
    const WPARAM self = reinterpret_cast<WPARAM>(parent);
    if (message == WM_HELP) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(parent, message, self, lParam, SMTO_ABORTIFHUNG, kHelpForwardTimeoutMs, &ignored);
    } else {
        PostMessageA(parent, message, self, lParam);
    }
}

void ApplySaverStep(const SaverStep& step, HWND window, UINT message, LPARAM lParam) {
    if (step.takeInputMethod) TakeInputMethod(saverHost, window);
    if (step.armBaseline) ArmBaseline(saverHost);
    if (step.hideCursor) SetCursor(nullptr);
    if (step.giveBackInputMethod) GiveBackInputMethod(saverHost, window);
    if (step.postQuit) PostQuitMessage(0);
    if (step.forwardToParent) ForwardToParent(window, message, lParam);
    if (step.requestClose) PostMessageA(window, WM_CLOSE, 0, 0);
    if (step.yieldSlice) Sleep(0);
}

// WM_CLOSE on the legacy family: a refused password keeps the window and
// measures mouse movement afresh from where the cursor now stands.
LRESULT CloseAfterPassword(HWND window, WPARAM wParam, LPARAM lParam) {
    if (VerifyCloseRequest(saverHost, window)) return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    ArmBaseline(saverHost);
    return 0;
}

struct WindowPlacement {
    int x, y, width, height;
};

WindowPlacement VirtualScreen() {
    WindowPlacement screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (screen.width != 0 && screen.height != 0) return screen;
    RECT clip{};
    HDC display = GetDC(nullptr);
    GetClipBox(display, &clip);
    ReleaseDC(nullptr, display);
    return {clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top};
}

bool BringRunningSaverForward() {
    HWND running = FindWindowA(kClassName, kFullScreenTitle);
    if (running == nullptr || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

int64_t RunMessageLoop() {
    MSG message{};
    // GetMessage answers -1 on failure; a loop that stopped only at 0 would spin.
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int64_t>(message.wParam) : 0;
}

HWND CreateSaverWindow(HWND parent, const WindowPlacement& place) {
    const bool preview = parent != nullptr;
    return CreateWindowExA(preview ? 0 : kFullScreenExStyle, kClassName, preview ? kPreviewTitle : kFullScreenTitle,
                           preview ? kPreviewStyle : kFullScreenStyle, place.x, place.y, place.width,
                           place.height, parent, nullptr, static_cast<HINSTANCE>(saverHost.moduleInstance),
                           nullptr);
}

}  // namespace

int64_t RunSaverWindow(HWND parent) {
    HINSTANCE instance = static_cast<HINSTANCE>(saverHost.moduleInstance);
    WNDCLASSA windowClass{};
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;

    WindowPlacement place{};
    if (parent != nullptr) {
        RECT client{};
        GetClientRect(parent, &client);
        place = {0, 0, client.right, client.bottom};
        saverHost.previewMode = true;
    } else {
        place = VirtualScreen();
        if (BringRunningSaverForward()) return 0;
        LoadLockSettings(saverHost);
    }

    int64_t result = 0;
    if (RegisterClassA(&windowClass) != 0) {
        HWND window = CreateSaverWindow(parent, place);
        saverHost.saverWindow = window;
        if (window != nullptr) {
            if (!saverHost.previewMode) SetForegroundWindow(window);
            result = RunMessageLoop();
        }
    }
    UnloadLockLibrary(saverHost);
    return result;
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WithoutThrowing(window, message, wParam, lParam, [&]() -> LRESULT {
        const SaverStep step = DecideSaverStep(saverHost, {message, wParam, lParam});
        ApplySaverStep(step, window, message, lParam);
        switch (step.reply) {
        case Reply::kPassOn: return LogoWindowProc(window, message, wParam, lParam);
        case Reply::kDefault: return DefWindowProcA(window, message, wParam, lParam);
        case Reply::kValue: break;
        }
        return static_cast<LRESULT>(step.value);
    });
}

LRESULT CALLBACK CloseOnInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WithoutThrowing(window, message, wParam, lParam, [&]() -> LRESULT {
        if (message == WM_CLOSE) KORUNEX_TEST_FAULT("close");
        CursorPoint cursor = saverHost.cursorBaseline;
        // A position that cannot be read tells nothing about movement.
        if (ReadsCursor(message) && !ReadCursor(cursor)) return DefWindowProcA(window, message, wParam, lParam);
        const InputStep step = DecideInputStep(saverHost, {message, wParam, lParam}, cursor);
        if (step.askPassword) return CloseAfterPassword(window, wParam, lParam);
        if (step.answerVerifyRequest) return static_cast<LRESULT>(AnswerVerifyRequest(saverHost, window));
        if (step.requestClose) PostMessageA(window, WM_CLOSE, 0, 0);
        if (step.hideCursor) SetCursor(nullptr);
        if (step.moveBaseline) {
            saverHost.cursorBaseline = cursor;
            saverHost.cursorUnread = false;
        }
        if (step.reply == Reply::kValue) return static_cast<LRESULT>(step.value);
        return DefWindowProcA(window, message, wParam, lParam);
    });
}
