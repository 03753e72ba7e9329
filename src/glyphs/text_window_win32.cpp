#include "glyphs/text_window_win32.h"

#include <commdlg.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "glyphs/text_preview_win32.h"
#include "glyphs/text_window_fit.h"
#include "glyphs/text_window_ids.h"
#include "settings/profile_store_win32.h"
#include "win32/procedure_barrier_win32.h"
#include "win32/window_record_win32.h"

namespace {

constexpr UINT kFitFinished = WM_APP + 1;
constexpr UINT_PTR kFitTimer = 1, kFrameTimer = 2;
// Typing pauses this long before the letters are fitted.
constexpr UINT kFitPauseMs = 300;
constexpr COLORREF kWarningColour = RGB(200, 0, 0);

std::wstring Wide(const std::string& text, UINT codePage) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    wide.resize(size_t(std::max(length, 0)));
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    std::string text(wide.size() * 4 + 1, '\0');
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), text.data(), int(text.size()), nullptr, nullptr);
    text.resize(size_t(std::max(length, 0)));
    return text;
}

std::wstring ControlText(HWND dialog, int id) {
    std::wstring text(size_t(GetWindowTextLengthW(GetDlgItem(dialog, id))) + 1, L'\0');
    text.resize(size_t(GetDlgItemTextW(dialog, id, text.data(), int(text.size()))));
    return text;
}

// One run of the window: what it shows and the fitting behind it.
struct TextWindowRun {
    HINSTANCE instance = nullptr;
    int textBase = IDS_TW_ENGLISH;  // or IDS_TW_JAPANESE
    ProfileNames names{};
    std::string font;            // the face; bold and italic are the check boxes
    uint64_t generation = 0;     // of the entry shown now
    std::optional<FitOutcome> fit;  // of the entry shown now, once fitted
    TextPreview preview;
    std::unique_ptr<FitWorker> worker;
};

// A text of the string table in the user's language, its inserts filled.
std::wstring Text(const TextWindowRun& run, int text, std::vector<DWORD_PTR> inserts = {}) {
    const wchar_t* entry = nullptr;
    const int length = LoadStringW(run.instance, UINT(run.textBase + text), reinterpret_cast<LPWSTR>(&entry), 0);
    std::wstring pattern = length > 0 ? std::wstring(entry, size_t(length)) : L"";
    if (inserts.empty()) return pattern;
    wchar_t* formatted = nullptr;
    const DWORD size = FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                          FORMAT_MESSAGE_ARGUMENT_ARRAY,
                                      pattern.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&formatted), 0,
                                      reinterpret_cast<va_list*>(inserts.data()));
    std::wstring result = size > 0 ? std::wstring(formatted, size) : pattern;
    LocalFree(formatted);
    return result;
}

DWORD_PTR Insert(const std::wstring& text) { return reinterpret_cast<DWORD_PTR>(text.c_str()); }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

std::wstring FilePath(const TextWindowRun& run) {
    wchar_t folder[MAX_PATH] = L"";
    GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + Wide(run.names.iniFile, CP_ACP);
}

TextChoice ChoiceShown(HWND dialog) {
    TextChoice choice{Utf8(ControlText(dialog, IDC_TW_TEXT_EDIT)), std::nullopt, true};
    if (IsChecked(dialog, IDC_TW_CLOCK_RADIO)) choice.clockFormat = Utf8(ControlText(dialog, IDC_TW_FORMAT_EDIT));
    return choice;
}

MonitorMode ModeShown(HWND dialog) {
    if (IsChecked(dialog, IDC_TW_MODE_EACH)) return MonitorMode::kEach;
    return IsChecked(dialog, IDC_TW_MODE_PRIMARY) ? MonitorMode::kPrimary : MonitorMode::kWhole;
}

void ShowStatus(HWND dialog, const std::wstring& status) { SetDlgItemTextW(dialog, IDC_TW_STATUS, status.c_str()); }

// The entry changed: what was fitted no longer holds, and a fit follows once typing pauses.
void EntryChanged(HWND dialog, TextWindowRun& run) {
    ++run.generation;
    run.fit.reset();
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    const bool isClock = IsChecked(dialog, IDC_TW_CLOCK_RADIO);
    EnableWindow(GetDlgItem(dialog, IDC_TW_TEXT_EDIT), !isClock);
    EnableWindow(GetDlgItem(dialog, IDC_TW_FORMAT_EDIT), isClock);
    ShowStatus(dialog, Text(run, TW_FITTING));
    SetTimer(dialog, kFitTimer, kFitPauseMs, nullptr);
}

void RequestFit(HWND dialog, TextWindowRun& run) {
    KillTimer(dialog, kFitTimer);
    FitJob job;
    job.generation = run.generation;
    job.choice = ChoiceShown(dialog);
    job.font = run.font;
    job.style.bold = IsChecked(dialog, IDC_TW_BOLD);
    job.style.italic = IsChecked(dialog, IDC_TW_ITALIC);
    job.fileText = Win32ProfileStore(run.names.iniFile).KeepFile().bytes;
    job.names = run.names;
    run.worker->Request(std::move(job));
}

void ShowLetters(HWND dialog, const TextWindowRun& run) {
    HWND list = GetDlgItem(dialog, IDC_TW_LETTERS);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (!run.fit || !run.fit->letters) return;
    for (const LetterRow& row : LetterRows(*run.fit->letters)) {
        const std::wstring character = Wide(row.character, CP_UTF8);
        wchar_t deviation[32] = L"-";
        if (std::isfinite(row.deviation)) swprintf(deviation, 32, L"%.2f", row.deviation);
        const std::wstring line = row.isMissing ? Text(run, TW_NOT_IN_FONT, {Insert(character)})
                                  : row.isBlank ? Text(run, TW_BLANK, {Insert(character)})
                                                : Text(run, TW_LETTER_ROW, {Insert(character), Insert(deviation)});
        const LRESULT at = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        SendMessageW(list, LB_SETITEMDATA, WPARAM(at), row.isWarned || row.isMissing);
    }
}

std::wstring ProblemText(const TextWindowRun& run, const FitOutcome& fit) {
    const std::wstring detail = Wide(fit.detail, CP_UTF8);
    switch (fit.problem) {
    case FitProblem::kEntry:
        if (fit.entry.problem == EntryProblem::kTooManyCharacters)
            return Text(run, TW_TOO_MANY, {DWORD_PTR(fit.entry.characters)});
        return Text(run, fit.entry.problem == EntryProblem::kClockFormat ? TW_BAD_FORMAT : TW_EMPTY);
    case FitProblem::kFont: return Text(run, TW_NO_FONT, {Insert(detail)});
    case FitProblem::kRefused: return Text(run, TW_REFUSED, {Insert(detail)});
    case FitProblem::kNone: break;
    }
    return Text(run, TW_READY);
}

void TakeFit(HWND dialog, TextWindowRun& run) {
    std::optional<FitOutcome> fit = run.worker->TakeOutcome();
    if (!fit || fit->generation != run.generation) return;  // an older entry's
    run.fit = std::move(fit);
    ShowLetters(dialog, run);
    ShowStatus(dialog, ProblemText(run, *run.fit));
    ShowPreview(run.preview, run.fit->previewText, run.names, GetDlgItem(dialog, IDC_TW_STILL),
                GetDlgItem(dialog, IDC_TW_TURNING));
    SetTimer(dialog, kFrameTimer, PreviewPeriod(run.preview), nullptr);
    EnableWindow(GetDlgItem(dialog, IDOK), run.fit->problem == FitProblem::kNone);
}

std::wstring SummaryText(const TextWindowRun& run, const SaveSummary& summary, const TextChoice& choice) {
    const std::wstring file = FilePath(run);
    if (summary.isUnchanged) return Text(run, TW_UNCHANGED, {Insert(file)});
    std::wstring text = Text(run, TW_SAVED, {Insert(file), DWORD_PTR(summary.added), DWORD_PTR(summary.reused),
                                             DWORD_PTR(summary.repeats)});
    const std::wstring format = Wide(choice.clockFormat.value_or(""), CP_UTF8);
    text += L"\n" + (choice.clockFormat ? Text(run, TW_SHOWS_CLOCK, {Insert(format)}) : Text(run, TW_SHOWS_TEXT));
    if (summary.isClockTurnedOff) text += L"\n" + Text(run, TW_CLOCK_OFF);
    if (summary.isModeWritten) text += L"\n" + Text(run, TW_MODE_SAVED);
    return text;
}

void Tell(HWND dialog, const std::wstring& text, UINT icon) {
    MessageBoxW(dialog, text.c_str(), L"KORUNEX", MB_OK | icon);
}

// Plans again into the file as it is now, and writes all of it or nothing.
void Save(HWND dialog, TextWindowRun& run) {
    if (!run.fit || !run.fit->letters || run.fit->problem != FitProblem::kNone) return;
    const TextChoice choice = ChoiceShown(dialog);
    Win32ProfileStore store(run.names.iniFile);
    std::string problem;
    const std::optional<ShapeFileUpdate> update =
        PlanWindowSave(store, run.names, *run.fit->letters, choice, ModeShown(dialog), problem);
    if (!update) return Tell(dialog, Text(run, TW_REFUSED, {Insert(Wide(problem, CP_UTF8))}), MB_ICONWARNING);
    const WriteOutcome outcome =
        IsReadOnlyFile(run.names.iniFile) ? WriteOutcome::kFailedUnchanged : WriteWholeUpdate(store, *update);
    switch (outcome) {
    case WriteOutcome::kWritten: break;
    case WriteOutcome::kFailedUnchanged: return Tell(dialog, Text(run, TW_CANNOT_WRITE, {Insert(FilePath(run))}), MB_ICONWARNING);
    case WriteOutcome::kFailedPartly: return Tell(dialog, Text(run, TW_PARTLY_WRITTEN, {Insert(FilePath(run))}), MB_ICONERROR);
    }
    Tell(dialog, SummaryText(run, SummarizeSave(*update, run.names), choice), MB_ICONINFORMATION);
    EndDialog(dialog, IDOK);
}

void ChooseFace(HWND dialog, TextWindowRun& run) {
    LOGFONTW font{};
    lstrcpynW(font.lfFaceName, Wide(run.font, CP_UTF8).c_str(), LF_FACESIZE);
    font.lfWeight = IsChecked(dialog, IDC_TW_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = IsChecked(dialog, IDC_TW_ITALIC);
    font.lfCharSet = DEFAULT_CHARSET;
    // Only the face and style matter, but the dialog takes no OK without a size.
    HDC screen = GetDC(dialog);
    font.lfHeight = -MulDiv(12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(dialog, screen);
    CHOOSEFONTW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = dialog;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_TTONLY | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    if (!ChooseFontW(&choose)) return;
    run.font = Utf8(font.lfFaceName);
    CheckDlgButton(dialog, IDC_TW_BOLD, font.lfWeight >= FW_BOLD ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_TW_ITALIC, font.lfItalic ? BST_CHECKED : BST_UNCHECKED);
    EntryChanged(dialog, run);
    SetDlgItemTextW(dialog, IDC_TW_FONT_NAME, font.lfFaceName);
}

void ShowTexts(HWND dialog, const TextWindowRun& run) {
    constexpr std::array<std::pair<int, int>, 14> kLabels{{
        {IDC_TW_TEXT_RADIO, TW_TEXT}, {IDC_TW_CLOCK_RADIO, TW_CLOCK}, {IDC_TW_FONT_BUTTON, TW_FONT},
        {IDC_TW_BOLD, TW_BOLD}, {IDC_TW_ITALIC, TW_ITALIC}, {IDC_TW_MONITORS, TW_MONITORS},
        {IDC_TW_MODE_WHOLE, TW_MODE_WHOLE}, {IDC_TW_MODE_EACH, TW_MODE_EACH}, {IDC_TW_MODE_PRIMARY, TW_MODE_PRIMARY},
        {IDC_TW_PREVIEW_LABEL, TW_PREVIEW}, {IDC_TW_LETTERS_LABEL, TW_LETTERS}, {IDOK, TW_SAVE},
        {IDCANCEL, TW_CANCEL}, {IDC_TW_STATUS, TW_FITTING},
    }};
    for (const auto& [id, text] : kLabels) SetDlgItemTextW(dialog, id, Text(run, text).c_str());
    SetWindowTextW(dialog, Wide(run.names.settingsSection, CP_ACP).c_str());
}

// The console tool's default face or, where it is not installed, the face
// of the system's message font, so that the window works from the start.
std::string DefaultFace() {
    std::string problem;
    if (FindFont("Arial", problem)) return "Arial";
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return "Arial";
    return Utf8(metrics.lfMessageFont.lfFaceName);
}

void OpenWindow(HWND dialog, TextWindowRun& run) {
    LoadKeyNames(run.names);
    run.font = DefaultFace();
    ShowTexts(dialog, run);
    const TextWindowStart start = LoadTextWindowStart(Win32ProfileStore(run.names.iniFile), run.names);
    SetDlgItemTextW(dialog, IDC_TW_TEXT_EDIT, Wide(start.text, CP_ACP).c_str());
    SetDlgItemTextW(dialog, IDC_TW_FORMAT_EDIT, Wide(start.clockFormat, CP_ACP).c_str());
    SendDlgItemMessageW(dialog, IDC_TW_FORMAT_EDIT, EM_LIMITTEXT, kMaxClockFormatBytes, 0);
    CheckRadioButton(dialog, IDC_TW_TEXT_RADIO, IDC_TW_CLOCK_RADIO,
                     start.isClockOn ? IDC_TW_CLOCK_RADIO : IDC_TW_TEXT_RADIO);
    CheckRadioButton(dialog, IDC_TW_MODE_WHOLE, IDC_TW_MODE_PRIMARY, IDC_TW_MODE_WHOLE + int(start.monitorMode));
    CheckDlgButton(dialog, IDC_TW_BOLD, BST_CHECKED);
    SetDlgItemTextW(dialog, IDC_TW_FONT_NAME, Wide(run.font, CP_UTF8).c_str());
    run.worker = std::make_unique<FitWorker>([dialog] { PostMessageW(dialog, kFitFinished, 0, 0); });
    EntryChanged(dialog, run);
}

void DrawLetterRow(const DRAWITEMSTRUCT& item) {
    if (item.itemID == UINT(-1)) return;
    wchar_t line[128] = L"";
    SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(line));
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, item.itemData ? kWarningColour : GetSysColor(COLOR_WINDOWTEXT));
    RECT text = item.rcItem;
    text.left += 4;
    DrawTextW(item.hDC, line, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX);
}

INT_PTR OnCommand(HWND dialog, TextWindowRun& run, int id, int notification) {
    switch (id) {
    case IDOK: Save(dialog, run); return TRUE;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case IDC_TW_FONT_BUTTON: ChooseFace(dialog, run); return TRUE;
    case IDC_TW_TEXT_EDIT:
    case IDC_TW_FORMAT_EDIT:
        if (notification == EN_CHANGE) EntryChanged(dialog, run);
        return TRUE;
    case IDC_TW_TEXT_RADIO:
    case IDC_TW_CLOCK_RADIO:
    case IDC_TW_BOLD:
    case IDC_TW_ITALIC:
        if (notification == BN_CLICKED) EntryChanged(dialog, run);
        return TRUE;
    default: return FALSE;  // the monitor radios: read at Save
    }
}

INT_PTR CALLBACK TextWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogWithoutThrowing(dialog, message, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            AttachRecord(dialog, DWLP_USER, reinterpret_cast<TextWindowRun*>(lParam));
            OpenWindow(dialog, *RecordOf<TextWindowRun>(dialog, DWLP_USER));
            return TRUE;
        }
        TextWindowRun* run = RecordOf<TextWindowRun>(dialog, DWLP_USER);
        if (run == nullptr) return FALSE;
        switch (message) {
        case WM_COMMAND: return OnCommand(dialog, *run, LOWORD(wParam), HIWORD(wParam));
        case kFitFinished: TakeFit(dialog, *run); return TRUE;
        case WM_TIMER:
            if (wParam == kFitTimer) RequestFit(dialog, *run);
            if (wParam == kFrameTimer) TurnPreview(run->preview, GetDlgItem(dialog, IDC_TW_TURNING));
            return TRUE;
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID == IDC_TW_LETTERS) DrawLetterRow(item);
            if (item.CtlID == IDC_TW_STILL || item.CtlID == IDC_TW_TURNING)
                item.CtlID == IDC_TW_STILL ? PaintStill(run->preview, item.hDC, item.rcItem)
                                           : (void)FillRect(item.hDC, &item.rcItem,
                                                            static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            return TRUE;
        }
        case WM_DESTROY:
            KillTimer(dialog, kFitTimer);
            KillTimer(dialog, kFrameTimer);
            run->worker.reset();  // waits for a fit under way
            return FALSE;
        default: return FALSE;
        }
    });
}

// A console this process alone has (started from the Start menu or a
// shortcut) would stay open beside the window: it is given up. One shared
// with the shell that started us stays.
void LeaveOwnConsole() {
    DWORD processes[2];
    if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

}  // namespace

bool IsReadOnlyFile(const char* fileName) {
    std::string path = fileName;
    if (path.find_first_of("\\/:") == std::string::npos) {
        char folder[MAX_PATH] = "";
        GetWindowsDirectoryA(folder, MAX_PATH);
        path = std::string(folder) + "\\" + fileName;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

int RunTextWindow(HINSTANCE instance) {
    LeaveOwnConsole();
    TextWindowRun run;
    run.instance = instance;
    run.textBase = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? IDS_TW_JAPANESE : IDS_TW_ENGLISH;
    const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_TEXT_WINDOW), nullptr, TextWindowProc,
                                           reinterpret_cast<LPARAM>(&run));
    return result == -1 ? 1 : 0;
}
