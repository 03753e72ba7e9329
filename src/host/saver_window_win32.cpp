#include "host/saver_window_win32.h"

#include <memory>

#include "host/close_rules.h"
#include "host/logo_window_win32.h"
#include "host/module_resources.h"
#include "host/saver_host_state.h"
#include "host/screen_lock_win32.h"
#include "host/screens_win32.h"
#include "win32/entry_lookup_win32.h"
#include "win32/procedure_barrier_win32.h"
#include "win32/test_faults_win32.h"
#include "win32/window_record_win32.h"

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kPreviewTitle[] = "Preview";
constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr DWORD kFullScreenExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;

constexpr UINT kHelpForwardTimeoutMs = 500;

// The input method taken off the saver window, to be given back.
struct InputMethod {
    HMODULE library = nullptr;  // only if the process had already loaded it
    HANDLE(WINAPI* associate)(HWND, HANDLE) = nullptr;
    HANDLE savedContext = nullptr;
};

// Everything of one run, from before its window is made until its loop ends.
struct SaverRun {
    HINSTANCE module;
    SaverHostState rules;
    PasswordLibrary lock;
    InputMethod inputMethod;
    LogoWindow logo;
};

// The cursor's screen position, or false when it cannot be read (another
// desktop has the input).
bool ReadCursor(CursorPoint& cursor) {
    POINT point{};
    if (TestFaultPoint("cursor") || !GetCursorPos(&point)) return false;
    cursor = {point.x, point.y};
    return true;
}

// Mouse movement is measured from here on; from the first position read
// when none can be read now, rather than from the screen's corner.
void ArmBaseline(SaverHostState& rules) {
    rules.cursorUnread = !ReadCursor(rules.cursorBaseline);
}

// The input method is detached only if the process already has its
// library: loading it here would bring it into every saver.
void TakeInputMethod(InputMethod& method, HWND window) {
    method.library = GetModuleHandleA("IMM32.DLL");
    if (method.library == nullptr) return;
    method.associate = LookUpEntry<decltype(method.associate)>(method.library, "ImmAssociateContext");
    if (method.associate == nullptr) return;
    method.savedContext = method.associate(window, nullptr);
}

void GiveBackInputMethod(const InputMethod& method, HWND window) {
    if (method.library == nullptr || method.associate == nullptr || method.savedContext == nullptr) return;
    method.associate(window, method.savedContext);
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

void ApplySaverStep(SaverRun& run, const SaverStep& step, HWND window, UINT message, LPARAM lParam) {
    if (step.takeInputMethod) TakeInputMethod(run.inputMethod, window);
    if (step.armBaseline) ArmBaseline(run.rules);
    if (step.hideCursor) SetCursor(nullptr);
    if (step.giveBackInputMethod) GiveBackInputMethod(run.inputMethod, window);
    if (step.postQuit) PostQuitMessage(0);
    if (step.forwardToParent) ForwardToParent(window, message, lParam);
    if (step.requestClose) PostMessageA(window, WM_CLOSE, 0, 0);
    if (step.yieldSlice) Sleep(0);
}

// WM_CLOSE on the legacy family: a refused password keeps the window and
// measures mouse movement afresh from where the cursor now stands.
LRESULT CloseAfterPassword(SaverHostState& rules, HWND window, WPARAM wParam, LPARAM lParam) {
    if (VerifyCloseRequest(rules, window)) return DefWindowProcA(window, WM_CLOSE, wParam, lParam);
    ArmBaseline(rules);
    return 0;
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

// The run goes to the window with its creation, so that the window has it
// from its first message of its own on.
HWND CreateSaverWindow(SaverRun& run, HWND parent, const ScreenRect& place) {
    const bool isPreview = parent != nullptr;
    return CreateWindowExA(isPreview ? 0 : kFullScreenExStyle, kClassName, isPreview ? kPreviewTitle : kFullScreenTitle,
                           isPreview ? kPreviewStyle : kFullScreenStyle, place.left, place.top, place.width,
                           place.height, parent, nullptr, run.module, &run);
}

// The default saver procedure, last of the chain: the close rules on input.
LRESULT CloseOnInputProc(SaverRun& run, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) TestFaultPoint("close");
    SaverHostState& rules = run.rules;
    CursorPoint cursor = rules.cursorBaseline;
    // A position that cannot be read tells nothing about movement.
    if (ReadsCursor(message) && !ReadCursor(cursor)) return DefWindowProcA(window, message, wParam, lParam);
    const InputStep step = DecideInputStep(rules, {message, wParam, lParam}, cursor);
    if (step.askPassword) return CloseAfterPassword(rules, window, wParam, lParam);
    if (step.answerVerifyRequest) return static_cast<LRESULT>(AnswerVerifyRequest(run.lock, window));
    if (step.requestClose) PostMessageA(window, WM_CLOSE, 0, 0);
    if (step.hideCursor) SetCursor(nullptr);
    if (step.moveBaseline) {
        rules.cursorBaseline = cursor;
        rules.cursorUnread = false;
    }
    if (step.reply == Reply::kValue) return static_cast<LRESULT>(step.value);
    return DefWindowProcA(window, message, wParam, lParam);
}

// The class procedure. The only message before the run is attached
// (WM_GETMINMAXINFO) meets no rule and gets the default processing.
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return WithoutThrowing(window, message, wParam, lParam, [&]() -> LRESULT {
        if (message == WM_NCCREATE)
            AttachRecord(window, GWLP_USERDATA, reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        SaverRun* run = RecordOf<SaverRun>(window, GWLP_USERDATA);
        if (run == nullptr) return DefWindowProcA(window, message, wParam, lParam);
        const SaverStep step = DecideSaverStep(run->rules, {message, wParam, lParam});
        ApplySaverStep(*run, step, window, message, lParam);
        switch (step.reply) {
        case Reply::kPassOn:
            if (const std::optional<LRESULT> answer = LogoWindowProc(run->logo, window, message, wParam))
                return *answer;
            return CloseOnInputProc(*run, window, message, wParam, lParam);
        case Reply::kDefault: return DefWindowProcA(window, message, wParam, lParam);
        case Reply::kValue: break;
        }
        return static_cast<LRESULT>(step.value);
    });
}

}  // namespace

int64_t RunSaverWindow(HINSTANCE module, bool legacyPlatform, HWND parent) {
    // Large (the scene's slots), so on the heap; zeroed as it is made.
    const auto run = std::make_unique<SaverRun>();
    run->module = module;
    run->rules.legacyPlatform = legacyPlatform;

    WNDCLASSA windowClass{};
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(module, MAKEINTRESOURCEA(IDI_KORUNEX));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;

    ScreenRect place{};
    if (parent != nullptr) {
        RECT client{};
        GetClientRect(parent, &client);
        place = {0, 0, client.right, client.bottom};
        run->rules.previewMode = true;
    } else {
        place = VirtualScreen();
        if (BringRunningSaverForward()) return 0;
        LoadLockLibrary(run->rules, run->lock);
    }

    int64_t result = 0;
    if (RegisterClassA(&windowClass) != 0) {
        HWND window = CreateSaverWindow(*run, parent, place);
        if (window != nullptr) {
            if (!run->rules.previewMode) SetForegroundWindow(window);
            result = RunMessageLoop();
            // A loop that failed leaves the window: it must not reach the run after this.
            if (IsWindow(window)) AttachRecord(window, GWLP_USERDATA, nullptr);
        }
    }
    UnloadLockLibrary(run->rules, run->lock);
    return result;
}
