// Drives korunex-text.exe's window under Wine: starts it without arguments,
// types into its controls as a person would, and checks what Save, Cancel
// and a read-only file leave in KORUNEX.ini of the Windows directory, byte
// for byte against what the console tool writes for the same choice.
// usage: text_window_driver KORUNEX-TEXT.EXE SHAPES.INI ja|en [gtest options]

#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "glyphs/text_window_ids.h"
#include "saver_run.h"

std::string saverPath;  // saver_run.h's default module: here the text tool

namespace {

std::string shapeFilePath, language;

// Fitting and the first start in a fresh prefix (its font cache) take a while.
constexpr DWORD kOpenTimeoutMs = 90000, kFitTimeoutMs = 90000;
constexpr int kMessageBoxTextId = 0xFFFF;

std::optional<std::string> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteBytes(const std::string& path, const std::string& text) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string WindowsFolder() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}
std::string WindowsIniPath() { return WindowsFolder() + "\\KORUNEX.ini"; }

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, 1024);
    return text;
}

std::string Narrow(const std::wstring& text) {
    char bytes[4096] = "";
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

// One run of the window, killed when a test leaves it running.
class WindowRun : public SaverRun {
public:
    WindowRun() : SaverRun("") {}

    HWND WaitForWindow() {
        const DWORD start = GetTickCount();
        while (started() && Running() && GetTickCount() - start < kOpenTimeoutMs) {
            for (HWND w = FindWindowW(L"#32770", L"KORUNEX"); w; w = FindWindowExW(nullptr, w, L"#32770", L"KORUNEX"))
                if (IsWindowVisible(w) && Owns(w) && GetDlgItem(w, IDC_TW_TEXT_EDIT)) {
                    window_ = w;
                    Settle();  // the window may show before it has set up its controls
                    return w;
                }
            Sleep(50);
        }
        ADD_FAILURE() << "no window \"KORUNEX\" within " << kOpenTimeoutMs << " ms";
        return nullptr;
    }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // Asked of the control itself: an edit keeps its text where another
    // process's GetWindowText does not look.
    std::string Shown(int id) const {
        wchar_t text[1024] = L"";
        SendMessageW(Item(id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        return Narrow(text);
    }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

    void Settle() const {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, kEndTimeoutMs, &ignored);
    }
    void Click(int id) {
        SendNotifyMessageW(Item(id), BM_CLICK, 0, 0);
        Settle();
    }

    // Replaces what an edit holds, one typed character at a time.
    void Type(int id, const std::wstring& text) {
        HWND edit = Item(id);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_CHAR, VK_BACK, 0);
        for (wchar_t c : text) SendMessageW(edit, WM_CHAR, c, 0);
        Settle();
    }

    // Save becomes clickable once the letters of what is shown are fitted.
    bool WaitUntilSaveable() {
        const DWORD start = GetTickCount();
        while (Running() && GetTickCount() - start < kFitTimeoutMs) {
            if (Enabled(IDOK)) return true;
            Sleep(50);
        }
        ADD_FAILURE() << "Save stays disabled; the status says: " << Shown(IDC_TW_STATUS);
        return false;
    }

    // The text of the message box the window shows next, which is then closed.
    std::string TakeMessage() {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kOpenTimeoutMs) {
            for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
                if (w != window_ && Owns(w) && GetWindow(w, GW_OWNER) == window_ && IsWindowVisible(w)) {
                    const std::string text = Narrow(TextOf(GetDlgItem(w, kMessageBoxTextId)));
                    SendNotifyMessageW(w, WM_COMMAND, IDOK, 0);
                    while (IsWindow(w) && GetTickCount() - start < kOpenTimeoutMs) Sleep(20);
                    Settle();
                    return text;
                }
            Sleep(50);
        }
        ADD_FAILURE() << "no message box";
        return "";
    }

private:
    HWND window_ = nullptr;
};

// The console tool's arguments for the face the window shows, in bold.
std::string FontArguments(const WindowRun& run) { return " --font \"" + run.Shown(IDC_TW_FONT_NAME) + "\" --bold"; }

// What the console tool leaves in a copy of `before` for the arguments.
std::string ConsoleToolFile(const std::string& before, const std::string& arguments) {
    const std::string copy = WindowsFolder() + "\\console-copy.ini";
    WriteBytes(copy, before);
    SaverRun tool(arguments + " --ini \"" + copy + "\"");
    EXPECT_EQ(tool.ExitCode(kFitTimeoutMs), 0u) << arguments;
    const std::string after = ReadBytes(copy).value_or("<no file>");
    DeleteFileA(copy.c_str());
    return after;
}

class TextWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::optional<std::string> read = ReadBytes(shapeFilePath);
        ASSERT_TRUE(read) << "cannot read " << shapeFilePath;
        shapes = *read;
        WriteBytes(WindowsIniPath(), shapes);
    }
    void TearDown() override {
        SetFileAttributesA(WindowsIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(WindowsIniPath().c_str());
    }
    std::string IniNow() const { return ReadBytes(WindowsIniPath()).value_or("<no file>"); }

    std::string shapes;
};

TEST_F(TextWindowTest, SpeaksTheUsersLanguage) {
    WindowRun run;
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(TextOf(window), L"KORUNEX");
    const bool japanese = language == "ja";
    EXPECT_EQ(TextOf(run.Item(IDOK)), japanese ? L"保存" : L"Save");
    EXPECT_EQ(TextOf(run.Item(IDC_TW_CLOCK_RADIO)), japanese ? L"時計" : L"Clock");
    EXPECT_EQ(TextOf(run.Item(IDC_TW_MODE_PRIMARY)), japanese ? L"主画面のみ" : L"Primary monitor only");
    run.Click(IDCANCEL);
    EXPECT_EQ(run.ExitCode(), 0u);
}

TEST_F(TextWindowTest, SaveWritesWhatTheConsoleToolWritesForTheText) {
    WindowRun run;
    ASSERT_NE(run.WaitForWindow(), nullptr);
    EXPECT_EQ(run.Shown(IDC_TW_TEXT_EDIT), "VE") << "the window does not show the file's text";  // the default slots
    EXPECT_EQ(run.Shown(IDC_TW_FORMAT_EDIT), "%H:%M:%S");
    run.Type(IDC_TW_TEXT_EDIT, L"KORUNEX");
    ASSERT_TRUE(run.WaitUntilSaveable());
    // Each letter's deviation, in the warning colour (the row's data) over 2 % of the em.
    HWND letters = run.Item(IDC_TW_LETTERS);
    ASSERT_EQ(SendMessageW(letters, LB_GETCOUNT, 0, 0), 7);
    for (int row = 0; row < 7; ++row) {
        wchar_t line[128] = L"";
        SendMessageW(letters, LB_GETTEXT, row, reinterpret_cast<LPARAM>(line));
        const wchar_t* tab = wcschr(line, L'\t');
        ASSERT_NE(tab, nullptr) << Narrow(line);
        EXPECT_EQ(line[0], L"KORUNEX"[row]);
        const double deviation = _wtof(tab + 1);
        EXPECT_EQ(SendMessageW(letters, LB_GETITEMDATA, row, 0) != 0, deviation > 2.0) << Narrow(line);
    }
    const std::string font = FontArguments(run);
    run.Click(IDOK);
    const std::string told = run.TakeMessage();
    EXPECT_NE(told.find("KORUNEX.ini"), std::string::npos) << told;
    EXPECT_NE(told.find(language == "ja" ? "新しい文字 7 個" : "7 new records"), std::string::npos) << told;
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(IniNow() == ConsoleToolFile(shapes, "KORUNEX --use" + font)) << "the window and the tool differ";
    EXPECT_NE(IniNow(), shapes);
}

TEST_F(TextWindowTest, SaveWritesWhatTheConsoleToolWritesForTheClock) {
    WindowRun run;
    ASSERT_NE(run.WaitForWindow(), nullptr);
    run.Click(IDC_TW_CLOCK_RADIO);
    run.Type(IDC_TW_FORMAT_EDIT, L"%a %H.%M");
    ASSERT_TRUE(run.WaitUntilSaveable());
    const std::string font = FontArguments(run);
    run.Click(IDOK);
    const std::string told = run.TakeMessage();
    EXPECT_NE(told.find("%a %H.%M"), std::string::npos) << told;
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(IniNow() == ConsoleToolFile(shapes, "--clock \"%a %H.%M\"" + font)) << "the window and the tool differ";
    EXPECT_EQ(GetPrivateProfileIntA("KORUNEX", "TOKEI", 0, "KORUNEX.ini"), 1);
}

TEST_F(TextWindowTest, ChoosingTextTurnsTheClockOffAndTheMonitorModeIsSaved) {
    WriteBytes(WindowsIniPath(), shapes + "[KORUNEX]\r\nTOKEI=1\r\n");
    WindowRun run;
    ASSERT_NE(run.WaitForWindow(), nullptr);
    EXPECT_EQ(SendMessageW(run.Item(IDC_TW_CLOCK_RADIO), BM_GETCHECK, 0, 0), BST_CHECKED);
    run.Click(IDC_TW_TEXT_RADIO);
    run.Type(IDC_TW_TEXT_EDIT, L"AB");
    run.Click(IDC_TW_MODE_PRIMARY);
    ASSERT_TRUE(run.WaitUntilSaveable());
    run.Click(IDOK);
    run.TakeMessage();
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("KORUNEX", "TOKEI", 1, "KORUNEX.ini"), 0);
    EXPECT_EQ(GetPrivateProfileIntA("KORUNEX", "GAMEN", 0, "KORUNEX.ini"), 2);
    EXPECT_EQ(GetPrivateProfileIntA("KORUNEX", "OPTIONN", 0, "KORUNEX.ini"), 2);
}

// The system's font dialog opens from the window and offers the installed
// faces; cancelled, it leaves the window's face and letters as they were.
TEST_F(TextWindowTest, TheFontButtonOpensTheSystemsFontDialog) {
    WindowRun run;
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    run.Type(IDC_TW_TEXT_EDIT, L"KX");
    ASSERT_TRUE(run.WaitUntilSaveable());
    const std::string face = run.Shown(IDC_TW_FONT_NAME);
    SendNotifyMessageW(run.Item(IDC_TW_FONT_BUTTON), BM_CLICK, 0, 0);
    HWND fonts = run.SaverRun::WaitForWindow([&]() -> HWND {
        for (HWND w = FindWindowW(L"#32770", nullptr); w; w = FindWindowExW(nullptr, w, L"#32770", nullptr))
            if (w != window && GetWindow(w, GW_OWNER) == window && IsWindowVisible(w)) return w;
        return nullptr;
    }, kOpenTimeoutMs);
    ASSERT_NE(fonts, nullptr) << "no font dialog";
    constexpr int kFaceList = 0x470;  // cmb1 of the font dialog's template
    EXPECT_NE(SendDlgItemMessageW(fonts, kFaceList, CB_FINDSTRINGEXACT, WPARAM(-1),
                                  reinterpret_cast<LPARAM>(L"DejaVu Sans")),
              CB_ERR)
        << "the font dialog does not offer DejaVu Sans";
    SendNotifyMessageW(fonts, WM_COMMAND, IDCANCEL, 0);
    for (DWORD start = GetTickCount(); IsWindow(fonts) && GetTickCount() - start < kEndTimeoutMs;) Sleep(20);
    ASSERT_FALSE(IsWindow(fonts)) << "the font dialog does not close";
    run.Settle();
    EXPECT_EQ(run.Shown(IDC_TW_FONT_NAME), face);
    EXPECT_TRUE(run.Enabled(IDOK)) << "a cancelled font dialog threw the fitted letters away";
    run.Click(IDCANCEL);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(IniNow() == shapes);
}

// --clock alone takes the file's own format; a format the saver could not
// read back, and --clock with a text, are refused with nothing written.
TEST_F(TextWindowTest, TheConsoleToolsClockTakesTheFilesFormat) {
    const std::string before = shapes + "[KORUNEX]\r\nTOKEIFMT=%M.%S\r\n";
    const std::string after = ConsoleToolFile(before, "--clock --font \"DejaVu Sans\"");
    EXPECT_NE(after.find("TOKEI=1"), std::string::npos);
    EXPECT_NE(after.find("TOKEIFMT=%M.%S"), std::string::npos);
    EXPECT_NE(after.find("ZAHYO44=.,"), std::string::npos) << "no record for the format's '.'";
    WriteBytes(WindowsIniPath(), shapes);
    for (const char* arguments : {"KX --clock", "--clock \"%H\t%M\"", "--clock \"%H時\""}) {
        SaverRun tool(arguments);
        EXPECT_EQ(tool.ExitCode(kFitTimeoutMs), 2u) << arguments;
    }
    EXPECT_TRUE(IniNow() == shapes);
}

TEST_F(TextWindowTest, CancelLeavesTheFileAlone) {
    WindowRun run;
    ASSERT_NE(run.WaitForWindow(), nullptr);
    run.Type(IDC_TW_TEXT_EDIT, L"XYZ");
    ASSERT_TRUE(run.WaitUntilSaveable());
    run.Click(IDCANCEL);
    EXPECT_EQ(run.ExitCode(), 0u);
    EXPECT_TRUE(IniNow() == shapes) << "Cancel changed the file";
}

TEST_F(TextWindowTest, AReadOnlyFileIsToldAndStaysAsItWas) {
    SetFileAttributesA(WindowsIniPath().c_str(), FILE_ATTRIBUTE_READONLY);
    WindowRun run;
    HWND window = run.WaitForWindow();
    ASSERT_NE(window, nullptr);
    run.Type(IDC_TW_TEXT_EDIT, L"KORUNEX");
    ASSERT_TRUE(run.WaitUntilSaveable());
    const std::string font = FontArguments(run);
    run.Click(IDOK);
    const std::string told = run.TakeMessage();
    EXPECT_NE(told.find(language == "ja" ? "書き込めません" : "Cannot write"), std::string::npos) << told;
    EXPECT_TRUE(IsWindowVisible(window)) << "the window closed after a failed save";
    EXPECT_TRUE(IniNow() == shapes) << "the read-only file changed";
    run.Click(IDCANCEL);
    EXPECT_EQ(run.ExitCode(), 0u);

    // The console tool refuses it the same way.
    SaverRun tool("KORUNEX --use" + font);
    EXPECT_EQ(tool.ExitCode(kFitTimeoutMs), 1u);
    EXPECT_TRUE(IniNow() == shapes) << "the console tool changed the read-only file";
}

TEST_F(TextWindowTest, TooManyCharactersCannotBeSaved) {
    WindowRun run;
    ASSERT_NE(run.WaitForWindow(), nullptr);
    run.Type(IDC_TW_TEXT_EDIT, L"ABCDEFGHIJ");
    const DWORD start = GetTickCount();
    while (run.Shown(IDC_TW_STATUS).find("10") == std::string::npos && GetTickCount() - start < kFitTimeoutMs) Sleep(50);
    EXPECT_NE(run.Shown(IDC_TW_STATUS).find("10"), std::string::npos) << run.Shown(IDC_TW_STATUS);
    EXPECT_FALSE(run.Enabled(IDOK));
    run.Click(IDCANCEL);
    EXPECT_EQ(run.ExitCode(), 0u);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        fprintf(stderr, "usage: text_window_driver KORUNEX-TEXT.EXE SHAPES.INI ja|en [gtest options]\n");
        return 2;
    }
    saverPath = argv[1];
    shapeFilePath = argv[2];
    language = argv[3];
    return RUN_ALL_TESTS();
}
