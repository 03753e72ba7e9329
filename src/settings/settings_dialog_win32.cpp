#include "settings/settings_dialog_win32.h"

#include <cwchar>

#include "settings/profile_store_win32.h"
#include "settings/settings_dialog.h"
#include "win32/procedure_barrier_win32.h"
#include "win32/window_record_win32.h"

namespace {

static_assert(static_cast<int>(ScrollEvent::kLineLeft) == SB_LINELEFT);
static_assert(static_cast<int>(ScrollEvent::kThumbTrack) == SB_THUMBTRACK);
static_assert(static_cast<int>(ScrollEvent::kEndScroll) == SB_ENDSCROLL);

// One run of the dialog. The store reads the file name out of `model.names`
// at each access, so it may be made before the names are loaded.
struct DialogRun {
    SettingsDialog model{};
    Win32ProfileStore store{model.names.iniFile};
};

// `text` from the system code page, cut to the buffer.
template <size_t N>
void Widen(const char* text, wchar_t (&wide)[N]) {
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, static_cast<int>(N)) == 0) wide[0] = L'\0';
    wide[N - 1] = L'\0';
}

void FillSlotLists(HWND dialog, const ShapeNameList& shapes) {
    for (int id : kSlotListIds) {
        SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L""));
    }
    for (int32_t n = 1; n <= shapes.count; ++n) {
        wchar_t name[kNameBytes + 1];
        Widen(shapes.names[n], name);
        for (int id : kSlotListIds) SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}

// Puts on the controls what `now` shows: everything when `before` is null,
// else only what differs from it.
void ShowView(HWND dialog, const DialogView* before, const DialogView& now) {
    for (int id = DialogView::kFirstId; id <= DialogView::kLastId; ++id) {
        const DialogControlKind kind = DialogControlKindOf(id);
        if (kind == DialogControlKind::kNone) continue;
        const ControlView& shown = now[id];
        const ControlView* was = before != nullptr ? &(*before)[id] : nullptr;
        HWND control = GetDlgItem(dialog, id);
        if (was == nullptr || was->enabled != shown.enabled) EnableWindow(control, shown.enabled);
        switch (kind) {
        case DialogControlKind::kList:
            if (was == nullptr || was->selection != shown.selection)
                SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(shown.selection), 0);
            break;
        case DialogControlKind::kCheck:
        case DialogControlKind::kRadio:
            if (was == nullptr || was->checked != shown.checked)
                CheckDlgButton(dialog, id, shown.checked ? BST_CHECKED : BST_UNCHECKED);
            break;
        case DialogControlKind::kBar:
            if (was == nullptr || was->value != shown.value) SetScrollPos(control, SB_CTL, shown.value, TRUE);
            break;
        case DialogControlKind::kNumber:
            if (was == nullptr || was->value != shown.value)
                SetDlgItemInt(dialog, id, static_cast<UINT>(shown.value), FALSE);
            break;
        case DialogControlKind::kNone: break;
        }
    }
}

void ShowWarning(HWND dialog, const DialogRun& run, DialogWarning warning) {
    wchar_t text[MAX_PATH + 64] = L"";
    switch (warning) {
    case DialogWarning::kSelectAtLeastOne: wcscpy(text, L"最低１つは選択して下さい"); break;
    case DialogWarning::kNoBlankInMiddle: wcscpy(text, L"途中に空白は指定出来ません"); break;
    case DialogWarning::kSettingsNotSaved: {
        // A file name without a directory is the one in the Windows directory.
        wchar_t folder[MAX_PATH] = L"", file[16];
        GetWindowsDirectoryW(folder, MAX_PATH);
        Widen(run.model.names.iniFile, file);
        swprintf(text, sizeof text / sizeof *text, L"設定を保存できませんでした。\n%ls\\%ls", folder, file);
        break;
    }
    case DialogWarning::kNone: return;
    }
    wchar_t caption[sizeof run.model.names.settingsSection];
    Widen(run.model.names.settingsSection, caption);
    MessageBoxW(dialog, text, caption, MB_OK | MB_ICONWARNING);
}

void OpenDialog(HWND dialog, DialogRun& run) {
    BeginSettingsDialog(run.model, run.store);
    FillSlotLists(dialog, run.model.shapes);
    for (const DialogBar& bar : kDialogBars)
        SetScrollRange(GetDlgItem(dialog, bar.id), SB_CTL, bar.minimum, bar.maximum, TRUE);
    ShowView(dialog, nullptr, run.model.view);
}

// The id alone decides, whatever the notification: a list's rule runs again
// on focus changes and then finds nothing to change.
INT_PTR OnCommand(HWND dialog, DialogRun& run, int id) {
    const DialogControlKind kind = DialogControlKindOf(id);
    const int32_t selection =
        kind == DialogControlKind::kList ? static_cast<int32_t>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0)) : -1;
    // The control has changed itself already: compare with what it shows
    // now, so that a choice the rule turns back is put back on the control.
    DialogView before = run.model.view;
    if (kind == DialogControlKind::kList) before[id].selection = selection;
    if (kind == DialogControlKind::kCheck || kind == DialogControlKind::kRadio)
        before[id].checked = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
    const DialogReply reply = HandleDialogCommand(run.model, id, selection, run.store);
    // The corrected controls first: the warning box takes the focus, and the
    // list then reports again with its corrected selection.
    ShowView(dialog, &before, run.model.view);
    ShowWarning(dialog, run, reply.warning);
    if (reply.endResult >= 0) EndDialog(dialog, reply.endResult);
    return id == IDOK || id == IDCANCEL;
}

void OnScroll(HWND dialog, DialogRun& run, WPARAM wParam, HWND bar) {
    if (bar == nullptr) return;  // the dialog's own scroll bars: it has none
    const int id = static_cast<int>(GetWindowLongPtrW(bar, GWLP_ID));
    const DialogView before = run.model.view;
    HandleDialogScroll(run.model, id, static_cast<ScrollEvent>(LOWORD(wParam)), HIWORD(wParam));
    ShowView(dialog, &before, run.model.view);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogWithoutThrowing(dialog, message, [&]() -> INT_PTR {
        if (message == WM_INITDIALOG) {
            AttachRecord(dialog, DWLP_USER, reinterpret_cast<DialogRun*>(lParam));
            OpenDialog(dialog, *RecordOf<DialogRun>(dialog, DWLP_USER));
            return TRUE;
        }
        DialogRun* run = RecordOf<DialogRun>(dialog, DWLP_USER);
        if (run == nullptr) return FALSE;  // before opening
        if (message == WM_COMMAND) return OnCommand(dialog, *run, LOWORD(wParam));
        if (message == WM_HSCROLL) OnScroll(dialog, *run, wParam, reinterpret_cast<HWND>(lParam));
        return FALSE;
    });
}

}  // namespace

int RunSettingsDialog(HINSTANCE module, HWND owner) {
    DialogRun run;
    return static_cast<int>(DialogBoxParamW(module, MAKEINTRESOURCEW(kSettingsDialogId), owner, SettingsDialogProc,
                                            reinterpret_cast<LPARAM>(&run)));
}
