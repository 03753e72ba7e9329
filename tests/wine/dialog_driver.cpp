// Drives the real configuration dialog of KORUNEX64.SCR under Wine: starts
// the module with "/c", works its controls by id as a person would, and
// checks how it ends and what it leaves in the ini file of the Windows
// directory. It also checks the controls that the template makes and takes
// screenshots for a look by eye.
// usage: dialog_driver SAVER.SCR SHAPES.INI SCREENSHOT-FOLDER [gtest options]
// SCREENSHOT-FOLDER is a path of the Unix side.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <cwchar>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "saver_run.h"
#include "scene/logo_scene.h"
#include "settings/settings_dialog.h"
#include "settings/settings_store.h"

std::string saverPath;  // the installed module, shared with saver_run.h

namespace {

std::string shapeFilePath, screenshotFolder;

constexpr wchar_t kCaption[] = L"KORUNEX_x64(Tamo3D ScreenSaver)V2.5.1の設定";
// The first start after the prefix's font change waits for Wine's font cache.
constexpr DWORD kOpenTimeoutMs = 60000;
constexpr int kMessageBoxTextId = 0xFFFF;

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string WindowsIniPath() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\KORUNEX.ini";
}

std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

std::string Narrow(const std::wstring& text) {
    char bytes[1024] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// Saves what the screen shows under `window` as FOLDER/NAME.png. The picture
// is taken from the X display by ImageMagick, which Wine starts like any
// program: a screen read through Wine's own calls does not see the windows
// of other processes there.
void SaveScreenshot(HWND window, const char* name) {
    RECT area{};
    GetWindowRect(window, &area);
    std::string command = "/usr/bin/import -window root -crop " + std::to_string(area.right - area.left) + "x" +
                          std::to_string(area.bottom - area.top) + "+" + std::to_string(area.left) + "+" +
                          std::to_string(area.top) + " " + screenshotFolder + "/" + name + ".png";
    const std::string picture = screenshotFolder + "/" + name + ".png";
    std::remove(picture.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << command;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Wine does not report the end of a Unix process: wait for its file to
    // appear and stop growing.
    size_t size = 0;
    const DWORD start = GetTickCount();
    for (bool steady = false; !steady && GetTickCount() - start < 20000;) {
        Sleep(300);
        const size_t now = ReadBytes(picture).value_or("").size();
        steady = now > 0 && now == size;
        size = now;
    }
    EXPECT_GT(size, 0u) << command << " wrote no picture within 20 s";
}

// One configuration run of the module, killed when a test leaves it running.
class DialogRun : public SaverRun {
public:
    explicit DialogRun(const std::string& tail = "/c", const std::string& module = saverPath)
        : SaverRun(tail, module) {}

    // The dialog, found by its class and caption, or null.
    HWND WaitForDialog() {
        const DWORD start = GetTickCount();
        while (started() && Running() && GetTickCount() - start < kOpenTimeoutMs) {
            HWND dialog = FindWindowW(L"#32770", kCaption);
            if (dialog != nullptr && IsWindowVisible(dialog) && Owns(dialog)) {
                dialog_ = dialog;
                return dialog;
            }
            Sleep(50);
        }
        ADD_FAILURE() << "no dialog \"" << Narrow(kCaption) << "\" within " << kOpenTimeoutMs << " ms";
        return nullptr;
    }

    HWND Item(int id) const { return GetDlgItem(dialog_, id); }

    // Waits until the dialog has handled everything sent to it so far.
    void Settle() const {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(dialog_, WM_NULL, 0, 0, SMTO_NORMAL, kEndTimeoutMs, &ignored);
    }

    // Sends without waiting for the answer (a warning box would hold it),
    // then waits until the dialog has taken the message.
    void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        SendNotifyMessageW(window, message, wParam, lParam);
        Settle();
        TakeWarning();
    }

    // A click on a button, check box or radio.
    void Click(int id) { Deliver(Item(id), BM_CLICK, 0, 0); }

    // A choice in a list with the mouse: the list gets the focus, drops down,
    // takes the entry and closes, then loses the focus; it reports each step.
    void Choose(int listId, int index) {
        HWND list = Item(listId);
        const auto report = [&](int notification) {
            Deliver(dialog_, WM_COMMAND, MAKEWPARAM(listId, notification), reinterpret_cast<LPARAM>(list));
        };
        report(CBN_SETFOCUS);
        report(CBN_DROPDOWN);
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        report(CBN_SELENDOK);
        report(CBN_CLOSEUP);
        report(CBN_SELCHANGE);
        report(CBN_KILLFOCUS);
    }

    // A scroll event on a bar, then the end of scrolling, as a click sends them.
    void Scroll(int barId, int event, int position = 0) {
        const LPARAM bar = reinterpret_cast<LPARAM>(Item(barId));
        Deliver(dialog_, WM_HSCROLL, MAKEWPARAM(event, position), bar);
        Deliver(dialog_, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), bar);
    }

    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    int Selection(int id) const { return static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)); }
    int Thumb(int id) const { return static_cast<int>(SendMessageW(Item(id), SBM_GETPOS, 0, 0)); }
    std::string Shown(int id) const { return Narrow(TextOf(Item(id))); }

    // The warning boxes shown so far, as caption and text; each box is
    // closed with its OK button once it has been read.
    std::vector<std::pair<std::string, std::string>> warnings;
    // Leaves the next warning box open (to look at it) instead of closing it.
    bool keepNextWarning = false;
    HWND keptWarning = nullptr;

    void CloseWarning(HWND box) {
        SendNotifyMessageW(box, WM_COMMAND, IDOK, 0);
        const DWORD start = GetTickCount();
        while (IsWindow(box) && GetTickCount() - start < kEndTimeoutMs) Sleep(20);
        EXPECT_FALSE(IsWindow(box)) << "the warning box does not close";
        Settle();
    }

private:
    void TakeWarning() {
        HWND box = nullptr;
        for (HWND w = FindWindowW(L"#32770", nullptr); w != nullptr; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (w != dialog_ && Owns(w) && GetWindow(w, GW_OWNER) == dialog_) box = w;
        if (box == nullptr) return;
        warnings.emplace_back(Narrow(TextOf(box)), Narrow(TextOf(GetDlgItem(box, kMessageBoxTextId))));
        if (keepNextWarning) {
            keepNextWarning = false;
            keptWarning = box;
            return;
        }
        CloseWarning(box);
    }

    HWND dialog_ = nullptr;
};

// Each test starts from the shape file alone in the Windows directory and
// puts back what was there before.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> read = ReadBytes(shapeFilePath);
        ASSERT_TRUE(read) << "cannot read " << shapeFilePath;
        shapes = *read;
        before_ = ReadBytes(WindowsIniPath());
        SetFileAttributesA(WindowsIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(WindowsIniPath(), shapes);
    }
    void TearDown() override {
        SetFileAttributesA(WindowsIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        if (before_) WriteBytes(WindowsIniPath(), *before_);
        else DeleteFileA(WindowsIniPath().c_str());
    }
    std::string IniNow() const { return ReadBytes(WindowsIniPath()).value_or("<no file>"); }

    std::string shapes;

private:
    std::optional<std::string> before_;
};

TEST_F(DialogTest, OpensWithTheDefaultsAndTheFocusOnSlotOne) {
    DialogRun run;
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    run.Settle();

    EXPECT_EQ(TextOf(dialog), kCaption);

    // The lists offer the blank entry and the 43 shapes, unsorted.
    for (int id : kSlotListIds) EXPECT_EQ(SendMessageW(run.Item(id), CB_GETCOUNT, 0, 0), 44) << "list " << id;
    EXPECT_EQ(run.Selection(kSlotListIds[0]), 22);
    EXPECT_EQ(run.Selection(kSlotListIds[1]), 5);
    EXPECT_EQ(run.Selection(kSlotListIds[2]), 0);
    EXPECT_EQ(run.Shown(kSlotCountNumber), "2");
    EXPECT_TRUE(run.Checked(kTurnInCentreRadio));
    EXPECT_TRUE(run.Checked(1063));  // view "30"
    EXPECT_TRUE(run.Checked(1092));  // perspective "15"
    EXPECT_TRUE(run.Checked(kColourRadioIds[2]));
    for (int id : kSlotRadioIds) EXPECT_FALSE(run.Enabled(id)) << "No. radio " << id;
    EXPECT_FALSE(run.Enabled(kWidthBar));
    EXPECT_FALSE(run.Enabled(kSizeYBar));
    EXPECT_EQ(run.Shown(kTimerNumber), "55");
    EXPECT_EQ(run.Thumb(kTimerBar), 55);
    EXPECT_EQ(run.Shown(kSlotStepNumberIds[8]), "9");

    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &thread);
    EXPECT_EQ(thread.hwndFocus, run.Item(kSlotListIds[0])) << "the focus is not on slot 1's list";

    Sleep(500);  // the dialog paints on its own thread
    SaveScreenshot(dialog, "dialog");
    run.Click(kCancelButton);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(run.warnings.empty());
}

// The controls as the dialog made them from its template, in template order.
struct Control {
    int id;  // -1 for the labels and frames
    std::wstring className, text;
    LONG_PTR style;
};

std::vector<Control> ControlsOf(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = L"";
        GetClassNameW(child, name, 64);
        const int id = GetDlgCtrlID(child);
        controls.push_back({id == 0xFFFF ? -1 : id, name, TextOf(child), GetWindowLongPtrW(child, GWL_STYLE)});
    }
    return controls;
}

bool IsClass(const Control& control, const wchar_t* name) { return _wcsicmp(control.className.c_str(), name) == 0; }

TEST_F(DialogTest, ItsControlsHaveTheirKindsGroupsTabStopsAndTexts) {
    DialogRun run;
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    const std::vector<Control> controls = ControlsOf(dialog);
    run.Click(kCancelButton);
    EXPECT_EQ(run.ExitCode(), 0u);

    std::set<int> ids;
    for (const Control& c : controls) {
        if (c.id == -1) continue;
        EXPECT_TRUE(ids.insert(c.id).second) << "two controls " << c.id;
        const DWORD type = c.style & 0xF;
        switch (DialogControlKindOf(c.id)) {
        case DialogControlKind::kList:
            EXPECT_TRUE(IsClass(c, L"ComboBox")) << c.id;
            // Unsorted; its WS_VSCROLL has gone to the dropped-down part.
            EXPECT_EQ(c.style & (0x3 | CBS_SORT), CBS_DROPDOWNLIST) << c.id;
            break;
        case DialogControlKind::kCheck: EXPECT_TRUE(IsClass(c, L"Button") && type == BS_AUTOCHECKBOX) << c.id; break;
        case DialogControlKind::kRadio: EXPECT_TRUE(IsClass(c, L"Button") && type == BS_AUTORADIOBUTTON) << c.id; break;
        case DialogControlKind::kBar: EXPECT_TRUE(IsClass(c, L"ScrollBar") && !(c.style & SBS_VERT)) << c.id; break;
        case DialogControlKind::kNumber: EXPECT_TRUE(IsClass(c, L"Static")) << c.id; break;
        case DialogControlKind::kNone:
            EXPECT_TRUE((c.id == IDOK && type == BS_DEFPUSHBUTTON && c.text == L"OK") ||
                        (c.id == IDCANCEL && type == BS_PUSHBUTTON && c.text == L"Cancel"))
                << "control " << c.id;
        }
    }
    EXPECT_EQ(ids.size(), 93u);  // 91 that show settings, OK and Cancel

    // A radio group runs from a WS_GROUP control to the next: six of them,
    // each of radios alone.
    std::vector<std::set<int>> groups;
    bool inRadioGroup = false;
    for (const Control& c : controls) {
        const bool isRadio = c.id != -1 && DialogControlKindOf(c.id) == DialogControlKind::kRadio;
        if (c.style & WS_GROUP) {
            inRadioGroup = isRadio;
            if (isRadio) groups.emplace_back();
        }
        EXPECT_EQ(isRadio, inRadioGroup) << "control " << c.id << " breaks a radio group";
        if (isRadio && inRadioGroup) groups.back().insert(c.id);
    }
    const std::set<int> noRadios(kSlotRadioIds.begin(), kSlotRadioIds.end());
    const std::set<int> colourRadios(kColourRadioIds.begin(), kColourRadioIds.end());
    const std::vector<std::set<int>> expected = {
        noRadios, {kMoveAndTurnRadio, kTurnInCentreRadio}, colourRadios, {kTurnAsWholeRadio, kTurnEachRadio},
        std::set<int>(kViewRadioIds.begin(), kViewRadioIds.end()),
        std::set<int>(kPerspectiveRadioIds.begin(), kPerspectiveRadioIds.end())};
    EXPECT_EQ(groups, expected);

    // Tab stops: every list, check box, bar and push button, and no label,
    // number or frame; slot 1's list comes first. (A radio's tab stop moves
    // with its check mark at run time.)
    int firstTabStop = 0;
    for (const Control& c : controls) {
        const DialogControlKind kind = c.id == -1 ? DialogControlKind::kNone : DialogControlKindOf(c.id);
        if (kind == DialogControlKind::kRadio) continue;
        const bool wanted = c.id == IDOK || c.id == IDCANCEL || kind == DialogControlKind::kList ||
                            kind == DialogControlKind::kCheck || kind == DialogControlKind::kBar;
        EXPECT_EQ((c.style & WS_TABSTOP) != 0, wanted) << "tab stop of control " << c.id;
        if (wanted && firstTabStop == 0) firstTabStop = c.id;
    }
    EXPECT_EQ(firstTabStop, kSlotListIds[0]);

    // Every Japanese text came through the build and the wide calls intact.
    std::multiset<std::string> texts;
    for (const Control& c : controls) texts.insert(Narrow(c.text));
    for (const char* text : {"<-色指定", "<-個別回転指定", "モード設定", "移動して回転", "中央で回転", "幅の指定",
                             "幅の自動設定", "起動時に画面を消す", "残像を残す", "字数", "回転角度", "図形の大きさ",
                             "同期", "縦", "横", "移動時の移動量", "タイマー割込", "色の設定", "色の個別設定", "赤",
                             "緑", "青", "白", "黄", "ﾏｾﾞﾝﾀ", "ｼｱﾝ", "回転方法", "全体で回転", "個別で回転", "見え方",
                             "遠近"})
        EXPECT_EQ(texts.count(text), 1u) << text;
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(texts.count("No." + std::to_string(k)), 2u) << "No." << k;
}

TEST_F(DialogTest, OkWritesAllSettingsInTableOrderAfterTheUntouchedShapes) {
    DialogRun run;
    ASSERT_NE(run.WaitForDialog(), nullptr);
    run.Choose(kSlotListIds[2], 4);
    EXPECT_EQ(run.Shown(kSlotCountNumber), "3");
    run.Click(kSlotSpinCheckIds[0]);
    run.Click(kMoveAndTurnRadio);
    run.Click(kAutoWidthCheck);
    EXPECT_TRUE(run.Enabled(kWidthBar));
    run.Scroll(kWidthBar, SB_PAGERIGHT);
    run.Scroll(kTimerBar, SB_PAGERIGHT);
    run.Scroll(kSizeBar, SB_THUMBTRACK, 20);
    run.Scroll(kSizeBar, SB_THUMBPOSITION, 20);
    EXPECT_EQ(run.Shown(kSizeYNumber), "20");
    run.Scroll(kSlotStepBarIds[8], SB_LINELEFT);
    run.Click(kSlotColoursCheck);
    EXPECT_TRUE(run.Checked(kSlotRadioIds[0]));
    EXPECT_TRUE(run.Enabled(kSlotRadioIds[2]));
    EXPECT_FALSE(run.Enabled(kSlotRadioIds[3]));
    run.Click(kSlotRadioIds[1]);
    run.Click(kColourRadioIds[1]);
    run.Click(1066);  // view "60"
    run.Click(1095);  // perspective "30"
    run.Click(kTurnEachRadio);
    run.Click(kAfterImageCheck);
    EXPECT_EQ(run.Shown(kTimerNumber), "60");
    EXPECT_EQ(run.Thumb(kTimerBar), 60);
    EXPECT_TRUE(run.warnings.empty());
    run.Click(kOkButton);
    EXPECT_EQ(run.ExitCode(), 1u);

    SaverSettings expected{};
    for (const SettingKey& key : kSettingKeys) expected.*key.field = key.byDefault;
    expected.OPTIONA3 = 4;
    expected.OPTIONN = 3;
    expected.ZKAITEN1 = 1;
    expected.OPTIONP = 2;
    expected.HABAJIDO = 0;
    expected.HABA = 5;
    expected.TIMER = 60;
    expected.SIZE = expected.SIZEY = 20;
    expected.STEPRAG9 = 8;
    expected.COLORS = 1;
    expected.OPTIONC2 = 2;
    expected.VIEW = 6;
    expected.ENKIN = 30;
    expected.KAITEN = 1;
    expected.ZANZOU = 1;
    ProfileNames names;
    LoadKeyNames(names);
    std::string section = "[KORUNEX]\r\n";
    for (int i = 0; i < kSettingCount; ++i)
        section += std::string(names.keyNames[i]) + "=" + std::to_string(expected.*kSettingKeys[i].field) + "\r\n";

    // The shape section, from its header to the end of the file, is kept
    // byte for byte, and the settings follow it.
    const std::string saved = IniNow();
    const size_t shapesAt = shapes.find("[MOJI ZAHYO]"), savedAt = saved.find("[MOJI ZAHYO]");
    ASSERT_NE(shapesAt, std::string::npos);
    ASSERT_NE(savedAt, std::string::npos) << saved;
    const std::string shapeSection = shapes.substr(shapesAt);
    EXPECT_EQ(saved.substr(savedAt, shapeSection.size()), shapeSection) << "the shape section changed";
    std::string added = saved.substr(std::min(saved.size(), savedAt + shapeSection.size()));
    if (added.starts_with("\r\n")) added.erase(0, 2);  // a blank line between sections
    EXPECT_EQ(added, section);
}

// Each colour radio, clicked for a slot of its own, stores the code that
// the saver draws in the colour the radio's caption names.
TEST_F(DialogTest, EachColourRadioStoresTheCodeOfTheColourItNames) {
    std::string settings = "\r\n[KORUNEX]\r\nCOLORS=1\r\nOPTIONN=7\r\n";
    for (int slot = 1; slot <= 7; ++slot) settings += "OPTIONA" + std::to_string(slot) + "=1\r\n";
    WriteBytes(WindowsIniPath(), shapes + settings);
    const struct {
        const char* caption;
        Rgb front;
    } colours[] = {{"赤", {255, 0, 0}},       {"緑", {0, 255, 0}},       {"青", {0, 0, 255}},   {"白", {255, 255, 255}},
                   {"黄", {255, 255, 0}},     {"ﾏｾﾞﾝﾀ", {255, 0, 255}}, {"ｼｱﾝ", {0, 255, 255}}};
    const int radios[] = {1032, 1033, 1034, 1035, 1055, 1056, 1057};

    DialogRun run;
    ASSERT_NE(run.WaitForDialog(), nullptr);
    for (int slot = 1; slot <= 7; ++slot) {
        ASSERT_EQ(run.Shown(radios[slot - 1]), colours[slot - 1].caption);
        run.Click(kSlotRadioIds[slot - 1]);
        run.Click(radios[slot - 1]);
    }
    run.Click(kOkButton);
    ASSERT_EQ(run.ExitCode(), 1u);
    for (int slot = 1; slot <= 7; ++slot) {
        const std::string key = "OPTIONC" + std::to_string(slot);
        const UINT code = GetPrivateProfileIntA("KORUNEX", key.c_str(), 0, "KORUNEX.ini");
        ASSERT_TRUE(code >= 1 && code <= 7) << key << " = " << code;
        EXPECT_EQ(kShadeTable[code].front, colours[slot - 1].front) << colours[slot - 1].caption << " stored " << code;
    }
}

TEST_F(DialogTest, CancelAndTheCloseBoxLeaveTheFileByteForByte) {
    const std::string original = shapes + "\r\n[KORUNEX]\r\ntimer=100\r\nCOLORS=1\r\nOPTIONC1=5\r\n";
    WriteBytes(WindowsIniPath(), original);
    for (const char* tail : {"/c", ""}) {
        DialogRun run(tail);
        HWND dialog = run.WaitForDialog();
        ASSERT_NE(dialog, nullptr) << "tail \"" << tail << "\"";
        EXPECT_EQ(run.Shown(kTimerNumber), "100");
        EXPECT_TRUE(run.Checked(kColourRadioIds[4]));  // slot 1's colour
        run.Choose(kSlotListIds[1], 9);
        run.Choose(kSlotListIds[2], 7);
        run.Click(kClearScreenCheck);
        run.Click(kSyncSizeCheck);
        run.Scroll(kSizeYBar, SB_PAGELEFT);
        run.Click(kColourRadioIds[0]);
        if (*tail == '\0') run.Deliver(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
        else run.Click(kCancelButton);
        EXPECT_EQ(run.ExitCode(), 0u) << "tail \"" << tail << "\"";
        EXPECT_EQ(IniNow(), original) << "tail \"" << tail << "\"";
    }
}

TEST_F(DialogTest, SlotChoicesThatBreakTheRowAreRefusedWithOneWarningEach) {
    DialogRun run;
    ASSERT_NE(run.WaitForDialog(), nullptr);

    run.Choose(kSlotListIds[0], 0);
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_EQ(run.warnings[0].first, "KORUNEX");
    EXPECT_EQ(run.warnings[0].second, "最低１つは選択して下さい");
    EXPECT_EQ(run.Selection(kSlotListIds[0]), 1);

    run.Choose(kSlotListIds[3], 12);
    ASSERT_EQ(run.warnings.size(), 2u);
    EXPECT_EQ(run.warnings[1].second, "途中に空白は指定出来ません");
    EXPECT_EQ(run.Selection(kSlotListIds[3]), 0);

    run.Choose(kSlotListIds[2], 3);
    run.Choose(kSlotListIds[1], 0);
    ASSERT_EQ(run.warnings.size(), 3u);
    EXPECT_EQ(run.warnings[2].second, "途中に空白は指定出来ません");
    EXPECT_EQ(run.Selection(kSlotListIds[1]), 1);
    EXPECT_EQ(run.Shown(kSlotCountNumber), "3");

    run.Click(kOkButton);
    EXPECT_EQ(run.ExitCode(), 1u);
    EXPECT_NE(IniNow().find("\r\nOPTIONA1=1\r\nOPTIONA2=1\r\nOPTIONA3=3\r\nOPTIONA4=0\r\n"), std::string::npos);
}

TEST_F(DialogTest, ASaveThatFailsWarnsOnceAndKeepsTheDialogOpen) {
    ASSERT_TRUE(SetFileAttributesA(WindowsIniPath().c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine run by root writes read-only files all the same; there the file is
    // also held open against writers, which fails the writes the same way.
    HANDLE lock = CreateFileA(WindowsIniPath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (lock != INVALID_HANDLE_VALUE) {
        CloseHandle(lock);
        lock = CreateFileA(WindowsIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    }
    struct Unlock {
        HANDLE handle;
        ~Unlock() {
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
        }
    } unlock{lock};

    DialogRun run;
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr);
    run.Click(kMoveAndTurnRadio);
    run.keepNextWarning = true;
    run.Click(kOkButton);
    ASSERT_EQ(run.warnings.size(), 1u);
    wchar_t folder[MAX_PATH] = L"";
    GetWindowsDirectoryW(folder, MAX_PATH);
    EXPECT_EQ(run.warnings[0].first, "KORUNEX");
    EXPECT_EQ(run.warnings[0].second, "設定を保存できませんでした。\n" + Narrow(folder) + "\\KORUNEX.ini");
    ASSERT_NE(run.keptWarning, nullptr);
    SaveScreenshot(run.keptWarning, "dialog-save-failed");
    run.CloseWarning(run.keptWarning);

    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed after a failed save";
    run.Click(kCancelButton);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(run.warnings.size(), 1u);
    EXPECT_EQ(IniNow(), shapes);
}

// The test build's writes fail from the 20th on, as on a disk that fills
// up: nineteen keys are in the file by then, and the file goes back as it was.
TEST_F(DialogTest, ASaveThatFailsHalfWayPutsTheFileBackByteForByte) {
    const std::string before = shapes + "[KORUNEX]\nCOLOR=5\n; a hand-made line, without CR\nVIEW=7";
    WriteBytes(WindowsIniPath(), before);
    const TestFault fault("write:20+");
    DialogRun run("/c", TestFaultModule());
    HWND dialog = run.WaitForDialog();
    ASSERT_NE(dialog, nullptr) << TestFaultModule();
    run.Click(kMoveAndTurnRadio);
    run.keepNextWarning = true;
    run.Click(kOkButton);
    ASSERT_EQ(run.warnings.size(), 1u);
    EXPECT_EQ(run.warnings[0].second.rfind("設定を保存できませんでした。", 0), 0u) << run.warnings[0].second;
    EXPECT_TRUE(IniNow() == before) << "the file is not as it was when the warning shows";
    ASSERT_NE(run.keptWarning, nullptr);
    run.CloseWarning(run.keptWarning);

    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed after a failed save";
    run.Click(kCancelButton);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(IniNow() == before) << "the file changed";
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fprintf(stderr, "usage: dialog_driver SAVER.SCR SHAPES.INI SCREENSHOT-FOLDER [gtest options]\n");
        return 2;
    }
    saverPath = argv[1];
    shapeFilePath = argv[2];
    screenshotFolder = argv[3];
    return RUN_ALL_TESTS();
}
