// The screen lock password end to end: the real module, run as the older
// platform family asks for it (Wine's per-program version setting), with
// stand-ins of our own for the platform's PASSWORD.CPL and MPR.DLL beside it
// (lock_standin.h). Part of saver_driver; suite Lock.

#include <cstdio>
#include <map>
#include <optional>
#include <sstream>

#include "saver_run.h"

namespace {

constexpr char kLockFolder[] = "C:\\korunex-lock\\";
constexpr char kAppDefaults[] = "Software\\Wine\\AppDefaults\\KORUNEX64.SCR";
constexpr DWORD kLogTimeoutMs = 5000;

std::string InLockFolder(const char* name) {
    return std::string(kLockFolder) + name;
}

const std::string lockedSaver = InLockFolder("KORUNEX64.SCR");

uint64_t NumberOf(HWND window) {
    return reinterpret_cast<uintptr_t>(window);
}

// Wine reports the older family (platform id 1) to KORUNEX64.SCR alone
// while this lives, and loads MPR.DLL from beside it rather than its own.
class LegacyPlatform {
public:
    LegacyPlatform() {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kAppDefaults) + "\\DllOverrides").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7);
        RegCloseKey(key);
        RegOpenKeyExA(HKEY_CURRENT_USER, kAppDefaults, 0, KEY_SET_VALUE, &key);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
        RegCloseKey(key);
    }
    ~LegacyPlatform() { RegDeleteTreeA(HKEY_CURRENT_USER, kAppDefaults); }
    LegacyPlatform(const LegacyPlatform&) = delete;
    LegacyPlatform& operator=(const LegacyPlatform&) = delete;
};

// The user's "ScreenSaveUsePassword": the low `size` bytes of `value`
// (little-endian), removed afterwards.
class UsePassword {
public:
    explicit UsePassword(uint32_t value, DWORD size = sizeof(uint32_t)) : UsePassword(REG_BINARY, &value, size) {}
    // A value of any type and length.
    UsePassword(DWORD type, const void* bytes, DWORD size) {
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword", type, bytes, size);
    }
    ~UsePassword() { RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword"); }
    UsePassword(const UsePassword&) = delete;
    UsePassword& operator=(const UsePassword&) = delete;
};

// What the stand-ins answer from now on.
void SetAnswer(int value, int holdMs = 0, bool postClose = false) {
    FILE* file = std::fopen(InLockFolder("standin-answer.txt").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fprintf(file, "%d %d %d\n", value, holdMs, postClose ? 1 : 0);
    std::fclose(file);
}

struct LogLine {
    std::string event;
    std::map<std::string, std::string> fields;

    uint64_t Number(const char* key) const {
        auto found = fields.find(key);
        return found == fields.end() ? ~uint64_t{0} : std::stoull(found->second);
    }
    std::string Text(const char* key) const {
        auto found = fields.find(key);
        return found == fields.end() ? "(missing)" : found->second;
    }
};

std::vector<LogLine> ReadLog() {
    std::vector<LogLine> lines;
    FILE* file = std::fopen(InLockFolder("standin.log").c_str(), "r");
    if (file == nullptr) return lines;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
        std::istringstream words(buffer);
        LogLine line;
        words >> line.event;
        for (std::string field; words >> field;) {
            const size_t equals = field.find('=');
            if (equals != std::string::npos) line.fields[field.substr(0, equals)] = field.substr(equals + 1);
        }
        lines.push_back(line);
    }
    std::fclose(file);
    return lines;
}

std::vector<LogLine> Events(const char* event) {
    std::vector<LogLine> found;
    for (const LogLine& line : ReadLog())
        if (line.event == event) found.push_back(line);
    return found;
}

std::string LogText() {
    std::string text;
    for (const LogLine& line : ReadLog()) {
        text += "\n  " + line.event;
        for (const auto& [key, value] : line.fields) text += " " + key + "=" + value;
    }
    return text.empty() ? " (empty)" : text;
}

// Waits until the log holds `count` lines of `event`.
bool WaitForEvents(const char* event, size_t count, DWORD timeout = kLogTimeoutMs) {
    const DWORD start = GetTickCount();
    while (Events(event).size() < count) {
        if (GetTickCount() - start >= timeout) return false;
        PumpFor(20);
    }
    return true;
}

// Whether the system counts a saver as running, asked by a fresh process of
// the driver's: a process reads that setting once and keeps its first answer.
int SaverRunningNow() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string commandLine = std::string("\"").append(self).append("\" --saver-running");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION asker{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &asker))
        return -1;
    DWORD code = 99;
    if (WaitForSingleObject(asker.hProcess, 5000) == WAIT_OBJECT_0) GetExitCodeProcess(asker.hProcess, &code);
    else TerminateProcess(asker.hProcess, 99);
    CloseHandle(asker.hThread);
    CloseHandle(asker.hProcess);
    return static_cast<int>(code);
}

class Lock : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryA(kLockFolder, nullptr);
        const std::string standIns = DriverFolder() + "lock-standins\\";
        ASSERT_TRUE(CopyFileA(saverPath.c_str(), lockedSaver.c_str(), FALSE)) << saverPath;
        for (const char* name : {"PASSWORD.CPL", "MPR.DLL"})
            ASSERT_TRUE(CopyFileA((standIns + name).c_str(), InLockFolder(name).c_str(), FALSE)) << standIns << name;
    }

    void SetUp() override {
        DeleteFileA(InLockFolder("standin.log").c_str());
        DeleteFileA(InLockFolder("standin-answer.txt").c_str());
        // Not left over from a run that failed to withdraw it.
        UINT previous = 0;
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
    }
};

// Starts the full-screen run and waits for its window to come to the front.
HWND StartFullScreen(SaverRun& run) {
    HWND saver = run.WaitForFullScreenWindow();
    if (saver != nullptr && !WaitForForeground(saver, 2000)) ADD_FAILURE() << "the saver did not come to the front";
    PumpFor(300);
    return saver;
}

TEST_F(Lock, WithThePasswordOffTheFirstInputClosesAndNoLibraryIsLoaded) {
    const LegacyPlatform legacy;
    SetAnswer(0);
    // No value, 0 in 4 bytes, and 0 in a single byte (the other three of
    // the integer it is read into stay 0).
    for (const DWORD size : {0, 4, 1}) {
        std::optional<UsePassword> off;
        if (size != 0) off.emplace(0, size);
        SaverRun run("/s", lockedSaver);
        ASSERT_NE(StartFullScreen(run), nullptr);
        PressKey(VK_SHIFT);
        EXPECT_EQ(run.ExitCode(), 0u) << "value of " << size << " bytes";
        EXPECT_TRUE(ReadLog().empty()) << "value of " << size << " bytes:" << LogText();
    }
}

TEST_F(Lock, TheRightPasswordClosesThenTheLibraryIsFreedAndTheAnnouncementWithdrawn) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    SetAnswer(1);
    SaverRun run("/s", lockedSaver);
    HWND saver = StartFullScreen(run);
    ASSERT_NE(saver, nullptr);
    EXPECT_EQ(Events("attach").size(), 1u) << "PASSWORD.CPL is not loaded:" << LogText();
    EXPECT_EQ(SaverRunningNow(), 1) << "the saver is not announced as running";

    PressKey(VK_SPACE);
    EXPECT_EQ(run.ExitCode(), 0u);
    const std::vector<LogLine> asked = Events("verify");
    ASSERT_EQ(asked.size(), 1u) << LogText();
    EXPECT_EQ(asked[0].Number("window"), NumberOf(saver));
    EXPECT_EQ(asked[0].Number("running"), 1u) << "not announced while asking";
    const std::vector<LogLine> detached = Events("detach"), window = Events("window");
    ASSERT_EQ(detached.size(), 1u) << LogText();
    EXPECT_EQ(detached[0].Number("freed"), 1u) << "left loaded until the process ended";
    ASSERT_EQ(window.size(), 1u) << LogText();
    EXPECT_EQ(window[0].Number("exists"), 0u) << "freed while the saver window still existed";
    EXPECT_EQ(SaverRunningNow(), 0) << "the announcement was not withdrawn";
}

TEST_F(Lock, AWrongPasswordKeepsItRunningHidesTheCursorAndAsksAgainOnlyAfter200Ms) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    // The dialog stays open a while, and a close request is posted just
    // before it answers: that one meets the 200 ms that follow the answer.
    SetAnswer(0, 700, true);
    SaverRun run("/s", lockedSaver);
    HWND saver = StartFullScreen(run);
    ASSERT_NE(saver, nullptr);

    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForEvents("verify", 1)) << "PASSWORD.CPL was not asked:" << LogText();
    EXPECT_NE(CursorShown(), nullptr) << "the stand-in's dialog shows no pointer: the check below proves nothing";
    ASSERT_TRUE(WaitForEvents("verified", 1)) << LogText();
    PumpFor(600);
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(Events("verify").size(), 1u) << "asked again within 200 ms of the refusal:" << LogText();
    EXPECT_EQ(CursorShown(), nullptr) << "the cursor is shown after the refusal";

    const RECT screen = VirtualScreen();
    const std::vector<uint32_t> before = ReadScreen(screen);
    PumpFor(400);
    EXPECT_NE(ReadScreen(screen), before) << "the logo stopped after the refusal";

    SetAnswer(1);
    PressKey(VK_SPACE);
    EXPECT_EQ(run.ExitCode(), 0u);
    const std::vector<LogLine> asked = Events("verify"), answered = Events("verified");
    ASSERT_EQ(asked.size(), 2u) << LogText();
    EXPECT_GE(asked[1].Number("tick") - answered[0].Number("tick"), 200u);
}

TEST_F(Lock, CloseRequestsAndInputDuringTheVerificationOpenNoSecondOne) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    SetAnswer(0, 1500);
    SaverRun run("/s", lockedSaver);
    HWND saver = StartFullScreen(run);
    ASSERT_NE(saver, nullptr);
    const POINT start = CursorNow();

    PressKey(VK_SPACE);
    ASSERT_TRUE(WaitForEvents("verify", 1)) << "PASSWORD.CPL was not asked:" << LogText();
    PostMessageA(saver, WM_CLOSE, 0, 0);
    PostMessageA(saver, WM_SYSCOMMAND, SC_MONITORPOWER, 2);  // which requests a close of its own
    PressKey(VK_RETURN);
    MoveMouseTo(start.x + 60, start.y + 40);
    ASSERT_TRUE(WaitForEvents("verified", 1)) << LogText();
    PumpFor(600);
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(Events("verify").size(), 1u) << "a second verification:" << LogText();

    // Movement is measured afresh from where the cursor stood at the refusal.
    MoveMouseTo(start.x + 63, start.y + 41);
    PumpFor(500);
    EXPECT_EQ(Events("verify").size(), 1u) << "a move of 4 pixels asked again:" << LogText();

    SetAnswer(1);
    MoveMouseTo(start.x + 70, start.y + 41);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(Events("verify").size(), 2u) << LogText();
}

TEST_F(Lock, APreviewNeverAsks) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    SetAnswer(0);
    HWND parent = MakeDriverWindow("KorunexLockPreviewParent");
    ASSERT_NE(parent, nullptr);
    SaverRun run("/p " + std::to_string(NumberOf(parent)), lockedSaver);
    HWND child = run.WaitForWindow([&] { return FindWindowExA(parent, nullptr, kClassName, "Preview"); });
    ASSERT_NE(child, nullptr) << "no preview in the parent";
    PostMessageA(child, WM_KEYDOWN, VK_SPACE, 0);
    PumpFor(300);
    EXPECT_TRUE(run.Running());
    PostMessageA(child, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(ReadLog().empty()) << LogText();
    DestroyWindow(parent);
}

TEST_F(Lock, SwitchAChangesTheSaversPasswordOwnedByTheGivenOrTheForegroundWindow) {
    const LegacyPlatform legacy;
    SetAnswer(5);  // whatever the change answers, the mode ends with 0
    HWND given = MakeDriverWindow("KorunexLockOwner"), front = MakeDriverWindow("KorunexLockFront");
    ASSERT_NE(given, nullptr);
    SetForegroundWindow(front);
    ASSERT_TRUE(WaitForForeground(front, 2000));

    const struct {
        std::string tail;
        HWND owner;
    } cases[] = {{"/a " + std::to_string(NumberOf(given)), given}, {"/a", front}, {"-A 524272", front}};
    for (const auto& [tail, owner] : cases) {
        DeleteFileA(InLockFolder("standin.log").c_str());
        SaverRun run(tail, lockedSaver);
        EXPECT_EQ(run.ExitCode(), 0u) << tail;
        const std::vector<LogLine> changes = Events("change");
        ASSERT_EQ(changes.size(), 1u) << tail << LogText();
        EXPECT_EQ(changes[0].Text("provider"), "SCRSAVE");
        EXPECT_EQ(changes[0].Number("owner"), NumberOf(owner)) << tail;
        EXPECT_EQ(changes[0].Number("flags"), 0u);
        EXPECT_EQ(changes[0].Number("reserved"), 0u);
        ASSERT_EQ(Events("detach").size(), 1u) << tail << LogText();
        EXPECT_EQ(Events("detach")[0].Number("freed"), 1u) << tail;
    }

    // Without MPR.DLL nothing is shown and the mode still ends with 0.
    DeleteFileA(InLockFolder("standin.log").c_str());
    ASSERT_TRUE(MoveFileA(InLockFolder("MPR.DLL").c_str(), InLockFolder("MPR.DLL.away").c_str()));
    SaverRun withoutLibrary("/a", lockedSaver);
    EXPECT_EQ(withoutLibrary.ExitCode(), 0u);
    MoveFileA(InLockFolder("MPR.DLL.away").c_str(), InLockFolder("MPR.DLL").c_str());
    EXPECT_TRUE(ReadLog().empty()) << LogText();
    DestroyWindow(given);
    DestroyWindow(front);
}

TEST_F(Lock, ElsewhereSwitchAEndsWithMinusOneAndTheFirstInputCloses) {
    const UsePassword on(1);
    SetAnswer(0);
    SaverRun change("/a", lockedSaver);
    EXPECT_EQ(change.ExitCode(), 0xFFFFFFFFu);

    SaverRun run("/s", lockedSaver);
    ASSERT_NE(StartFullScreen(run), nullptr);
    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(ReadLog().empty()) << "a library was loaded:" << LogText();
    EXPECT_EQ(SaverRunningNow(), 0);
}

}  // namespace

namespace {

// Whether a full-screen run asks the password on the first input: it asks
// (the stand-in answers yes) or closes at once without loading anything.
void ExpectFirstInputAsks(bool asks, const std::string& what) {
    DeleteFileA(InLockFolder("standin.log").c_str());
    SetAnswer(1);
    SaverRun run("/s", lockedSaver);
    ASSERT_NE(StartFullScreen(run), nullptr) << what;
    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u) << what;
    EXPECT_EQ(Events("verify").size(), asks ? 1u : 0u) << what << LogText();
    if (!asks) {
        EXPECT_TRUE(Events("attach").empty()) << what << LogText();
    }
}

TEST_F(Lock, TheRegistryValueIsReadAsFourBytesOfAnyType) {
    const LegacyPlatform legacy;
    {
        const uint8_t five[5] = {1, 0, 0, 0, 1};  // too long for the integer: the read fails
        const UsePassword on(REG_BINARY, five, sizeof five);
        ExpectFirstInputAsks(false, "a value of 5 bytes");
    }
    {
        const UsePassword on(1, 1);  // one byte, not zero
        ExpectFirstInputAsks(true, "a value of 1 byte");
    }
    {
        const UsePassword on(REG_SZ, "1", 2);  // the text's bytes, not its meaning
        ExpectFirstInputAsks(true, "the text \"1\"");
    }
}

// Puts `source` in the lock folder's PASSWORD.CPL (none when empty) while
// this lives; the stand-in that the other tests use comes back afterwards.
class PasswordLibrary {
public:
    explicit PasswordLibrary(const std::string& source) {
        DeleteFileA(InLockFolder("PASSWORD.CPL").c_str());
        if (!source.empty()) CopyFileA(source.c_str(), InLockFolder("PASSWORD.CPL").c_str(), FALSE);
    }
    ~PasswordLibrary() {
        CopyFileA((DriverFolder() + "lock-standins\\PASSWORD.CPL").c_str(), InLockFolder("PASSWORD.CPL").c_str(),
                  FALSE);
    }
    PasswordLibrary(const PasswordLibrary&) = delete;
    PasswordLibrary& operator=(const PasswordLibrary&) = delete;
};

TEST_F(Lock, WithoutPasswordCplOrItsEntryThePasswordIsOffAndNothingIsAnnounced) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    {
        const PasswordLibrary missing("");
        SaverRun run("/s", lockedSaver);
        ASSERT_NE(StartFullScreen(run), nullptr);
        EXPECT_EQ(SaverRunningNow(), 0) << "announced without a verifier";
        PressKey(VK_SHIFT);
        EXPECT_EQ(run.ExitCode(), 0u);
    }
    {
        const PasswordLibrary withoutEntry(DriverFolder() + "lock-standins\\without-verify\\PASSWORD.CPL");
        SaverRun run("/s", lockedSaver);
        ASSERT_NE(StartFullScreen(run), nullptr);
        // Loaded, found without the entry and freed again before the window was made.
        ASSERT_EQ(Events("detach").size(), 1u) << LogText();
        EXPECT_EQ(Events("detach")[0].Number("freed"), 1u);
        EXPECT_EQ(SaverRunningNow(), 0) << "announced without a verifier";
        PressKey(VK_SHIFT);
        EXPECT_EQ(run.ExitCode(), 0u);
        EXPECT_EQ(Events("attach").size(), 1u) << LogText();
    }
}

TEST_F(Lock, TheInputMethodIsOffTheWindowWhileItRunsAndGivenBackAtTheEnd) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    SetAnswer(1);
    SaverRun run("/s", lockedSaver);
    ASSERT_NE(StartFullScreen(run), nullptr);
    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
    const std::vector<LogLine> seen = Events("input-method");
    ASSERT_EQ(seen.size(), 2u) << LogText();
    EXPECT_EQ(seen[0].Text("at"), "verify");
    EXPECT_NE(seen[0].Number("fresh"), 0u) << "a new window has no input context here: nothing to compare";
    EXPECT_EQ(seen[0].Number("context"), 0u) << "the saver window keeps its input context while it runs";
    EXPECT_EQ(seen[1].Text("at"), "destroy");
    EXPECT_EQ(seen[1].Number("context"), seen[0].Number("fresh")) << "the input context was not given back";
}

// The module's test build in the lock folder, under the module's name, while this lives.
class TestBuildInLockFolder {
public:
    TestBuildInLockFolder() { CopyFileA(TestFaultModule().c_str(), lockedSaver.c_str(), FALSE); }
    ~TestBuildInLockFolder() { CopyFileA(saverPath.c_str(), lockedSaver.c_str(), FALSE); }
    TestBuildInLockFolder(const TestBuildInLockFolder&) = delete;
    TestBuildInLockFolder& operator=(const TestBuildInLockFolder&) = delete;
};

TEST_F(Lock, AFaultInAFrameEndsWithMinusOneAndWithdrawsTheAnnouncement) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    const TestBuildInLockFolder testBuild;
    const NoCrashDebugger reported;
    const TestFault fault("frame:80");  // some 4 s in: time to see the announcement first
    SaverRun run("/s", lockedSaver);
    ASSERT_NE(StartFullScreen(run), nullptr);
    EXPECT_EQ(SaverRunningNow(), 1) << "not announced: the check below proves nothing";
    EXPECT_EQ(run.ExitCode(10000), 0xFFFFFFFFu);
    EXPECT_EQ(SaverRunningNow(), 0) << "the announcement outlived the fault";
    EXPECT_TRUE(Events("verify").empty()) << LogText();
}

// The default processing of WM_CLOSE would destroy the window without the password.
TEST_F(Lock, AFailureWhileACloseIsDecidedKeepsTheSaverWithoutAskingThenItAsks) {
    const LegacyPlatform legacy;
    const UsePassword on(1);
    const TestBuildInLockFolder testBuild;
    const TestFault fault("close:1");
    SetAnswer(1);
    SaverRun run("/s", lockedSaver);
    ASSERT_NE(StartFullScreen(run), nullptr);
    PressKey(VK_SHIFT);
    PumpFor(600);
    EXPECT_TRUE(run.Running()) << "closed without the password";
    EXPECT_TRUE(Events("verify").empty()) << LogText();
    PressKey(VK_SHIFT);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(Events("verify").size(), 1u) << LogText();
}

}  // namespace
