// The host's behaviours end to end: what the module does with the platform's
// commands and power events, the cursor, the dialog's owner, the command
// line, and, with its test build, when something fails. Part of
// saver_driver; suites Host and Faults.

#include "saver_run.h"

namespace {

constexpr DWORD kAccessViolation = 0xC0000005;

uintptr_t NumberOf(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

// A driver window with the arrow as its class cursor, for the pointer to
// stand on.
HWND MakeArrowWindow(const char* className, int x, int y) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE, x, y, 200, 150, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

// The cursor shows again once the pointer moves over a window that has one.
bool CursorComesBackOver(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const DWORD start = GetTickCount();
    for (int step = 0; GetTickCount() - start < 2000; ++step) {
        MoveMouseTo(rect.left + 20 + step % 7, rect.top + 20);
        PumpFor(50);
        if (CursorShown() != nullptr) return true;
    }
    return false;
}

TEST(Host, TheCursorIsHiddenOverTheSaverAndShownAgainAfterIt) {
    HWND desk = MakeArrowWindow("KorunexArrowDesk", 40, 40);
    ASSERT_TRUE(CursorComesBackOver(desk)) << "no cursor over the driver's own window: nothing to compare";

    SaverRun run("/s");
    HWND saver = run.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr);
    PumpFor(300);
    EXPECT_EQ(CursorShown(), nullptr) << "the cursor shows over the full-screen saver";

    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(CursorComesBackOver(desk)) << "the cursor stays hidden after the saver";
    DestroyWindow(desk);
}

TEST(Host, SwitchingCommandsAndASuspendQueryKeepItTheSuspendEndsIt) {
    SaverRun run("/s");
    HWND saver = run.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr);
    ASSERT_TRUE(WaitForForeground(saver, 2000));
    DWORD_PTR answer = 99;
    for (WPARAM command : {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW}) {
        ASSERT_TRUE(SendMessageTimeoutA(saver, WM_SYSCOMMAND, command, 0, SMTO_NORMAL, 2000, &answer));
        EXPECT_EQ(answer, 0u) << std::hex << command;
    }
    ASSERT_TRUE(SendMessageTimeoutA(saver, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, SMTO_NORMAL, 2000, &answer));
    EXPECT_EQ(answer, 1u) << "the suspension is not granted";
    ASSERT_TRUE(SendMessageTimeoutA(saver, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE,
                                    SMTO_NORMAL, 2000, &answer));
    PumpFor(500);
    EXPECT_TRUE(run.Running()) << "ended by a system command, a suspend query or a failed suspend";
    EXPECT_EQ(GetForegroundWindow(), saver);

    PostMessageA(saver, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST(Host, TheMonitorPowerCommandEndsIt) {
    SaverRun run("/s");
    HWND saver = run.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr);
    PumpFor(300);
    PostMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_EQ(run.ExitCode(), 0u);
}

// The preview's parent, in this process: what the preview forwards to it.
struct ParentLog {
    int helps = 0;
    WPARAM helpWParam = 0;
    HELPINFO help{};
};
ParentLog helpLog;

LRESULT CALLBACK RecordingParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) {
        ++helpLog.helps;
        helpLog.helpWParam = wParam;
        if (lParam != 0) helpLog.help = *reinterpret_cast<const HELPINFO*>(lParam);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND WaitForPreview(SaverRun& run, HWND parent) {
    HWND child = run.WaitForWindow([&] { return FindWindowExA(parent, nullptr, kClassName, "Preview"); });
    const DWORD start = GetTickCount();
    while (child != nullptr && !IsWindowVisible(child) && GetTickCount() - start < 3000) PumpFor(20);
    return child;
}

// The parent lives in another process than the preview, as the display
// settings do: the help request must cross into it.
TEST(Host, AHelpRequestOnThePreviewArrivesAtItsParentWithTheParentsHandle) {
    HWND parent = MakeDriverWindow("KorunexHelpParent", RecordingParentProc);
    ASSERT_NE(parent, nullptr);
    SaverRun run("/p " + std::to_string(NumberOf(parent)));
    HWND child = WaitForPreview(run, parent);
    ASSERT_NE(child, nullptr);

    HELPINFO help{};
    help.cbSize = sizeof help;
    help.iContextType = HELPINFO_WINDOW;
    help.iCtrlId = 1234;
    help.MousePos = {150, 120};
    DWORD_PTR answer = 0;
    // Sent as the platform sends it; meanwhile this thread answers the parent's messages.
    ASSERT_TRUE(SendMessageTimeoutA(child, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), SMTO_NORMAL, 3000, &answer));
    EXPECT_EQ(answer, 1u);
    PumpFor(300);
    EXPECT_EQ(helpLog.helps, 1) << "the help request did not reach the parent";
    EXPECT_EQ(helpLog.helpWParam, NumberOf(parent));
    EXPECT_EQ(helpLog.help.iCtrlId, 1234);
    EXPECT_EQ(helpLog.help.MousePos.x, 150);
    EXPECT_EQ(helpLog.help.MousePos.y, 120);

    // The pointer over the preview stays visible.
    RECT onScreen{};
    GetWindowRect(child, &onScreen);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    for (int i = 0; i < 5; ++i) {
        MoveMouseTo(onScreen.left + 30 + 7 * i, onScreen.top + 30);
        PumpFor(80);
    }
    EXPECT_NE(CursorShown(), nullptr) << "the cursor is hidden over the preview";

    DestroyWindow(parent);
    EXPECT_EQ(run.ExitCode(), 0u);
}

// A preview does not count as a running saver: a full-screen run starts beside it.
TEST(Host, AFullScreenRunStartsBesideARunningPreview) {
    HWND parent = MakeDriverWindow("KorunexBesideParent");
    ASSERT_NE(parent, nullptr);
    SaverRun preview("/p " + std::to_string(NumberOf(parent)));
    ASSERT_NE(WaitForPreview(preview, parent), nullptr);

    SaverRun full("/s");
    HWND saver = full.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr) << "the full-screen run took the preview for a running saver";
    EXPECT_TRUE(WaitForForeground(saver, 2000));
    EXPECT_TRUE(preview.Running());
    PressKey(VK_SHIFT);
    EXPECT_EQ(full.ExitCode(), 0u);
    EXPECT_TRUE(preview.Running());
    DestroyWindow(parent);
    EXPECT_EQ(preview.ExitCode(), 0u);
}

TEST(Host, AModulePathWithoutQuotesEndsAtTheFirstBlankATabIncluded) {
    ASSERT_EQ(saverPath.find(' '), std::string::npos) << saverPath;
    for (const char* tail : {" /s", "\t/s"}) {
        SaverRun run(tail, saverPath, false);
        ASSERT_TRUE(run.started());
        HWND saver = run.WaitForFullScreenWindow();
        ASSERT_NE(saver, nullptr) << "tail \"" << tail << "\"";
        EXPECT_TRUE(WaitForForeground(saver, 2000));
        PumpFor(300);
        PressKey(VK_SHIFT);
        EXPECT_EQ(run.ExitCode(), 0u);
    }
    SaverRun unknown(" /x", saverPath, false);
    EXPECT_EQ(unknown.ExitCode(), 0xFFFFFFFFu);
}

// The dialog's owner: the given window after "/c:", else the foreground window.
TEST(Host, TheDialogIsOwnedByTheGivenWindowOrTheForegroundWindow) {
    HWND given = MakeDriverWindow("KorunexGivenOwner");
    HWND front = MakeArrowWindow("KorunexFrontOwner", 500, 300);
    ASSERT_NE(given, nullptr);
    ASSERT_NE(front, nullptr);
    const std::string number = std::to_string(NumberOf(given));
    struct Case {
        std::string tail;
        HWND owner;
    } cases[] = {{"/c:" + number, given}, {"/c " + number, front}, {"/c", front}};
    for (const Case& c : cases) {
        SetForegroundWindow(front);
        ASSERT_TRUE(WaitForForeground(front, 2000));
        SaverRun run(c.tail);
        HWND dialog = run.WaitForWindow([] { return FindWindowA("#32770", nullptr); });
        ASSERT_NE(dialog, nullptr) << "tail \"" << c.tail << "\"";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), c.owner) << "tail \"" << c.tail << "\"";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(run.ExitCode(), 0u);
    }
    DestroyWindow(front);
    DestroyWindow(given);
}

// The test build of the module, asked to fail.
TEST(Faults, AFaultInAFrameEndsTheRunWithMinusOne) {
    const NoCrashDebugger reported;
    const TestFault fault("frame:3");
    SaverRun run("/s", TestFaultModule());
    ASSERT_TRUE(run.started()) << TestFaultModule();
    EXPECT_EQ(run.ExitCode(), 0xFFFFFFFFu);
}

// Taken over, the other thread would go on where the guarded run began and
// end the process with -1 from there.
TEST(Faults, AFaultOnAnotherThreadIsNotTakenOverByTheGuard) {
    const NoCrashDebugger reported;
    const TestFault fault("thread:3");
    SaverRun run("/s", TestFaultModule());
    ASSERT_TRUE(run.started()) << TestFaultModule();
    EXPECT_EQ(run.ExitCode(), kAccessViolation);
}

// The first close request fails while it is decided: the saver stays; the
// next one closes it.
TEST(Faults, AFailureWhileACloseIsDecidedRefusesTheClose) {
    const TestFault fault("close:1");
    SaverRun run("/s", TestFaultModule());
    HWND saver = run.WaitForFullScreenWindow();
    ASSERT_NE(saver, nullptr);
    PumpFor(300);
    PressKey(VK_SHIFT);
    PumpFor(600);
    EXPECT_TRUE(run.Running()) << "closed although deciding the close failed";
    EXPECT_TRUE(IsWindow(saver));
    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
}

// Without a position read at creation the first move sets the baseline; it
// used to be the screen's corner, so that any first move closed the saver.
TEST(Faults, AFailedCursorReadAtCreationDoesNotMakeTheFirstMoveClose) {
    SetCursorPos(400, 300);
    PumpFor(100);
    const TestFault fault("cursor:1");
    SaverRun run("/s", TestFaultModule());
    ASSERT_NE(run.WaitForFullScreenWindow(), nullptr);
    PumpFor(500);
    // The platform may report a move of its own at 400, 300 first: every
    // step stays within 4 pixels of both that and 402, 300.
    MoveMouseTo(402, 300);
    PumpFor(500);
    EXPECT_TRUE(run.Running()) << "the first move closed the saver";
    MoveMouseTo(403, 301);
    PumpFor(500);
    EXPECT_TRUE(run.Running());
    MoveMouseTo(406, 302);
    EXPECT_EQ(run.ExitCode(), 0u);
}

}  // namespace
