#include "win32io/settings_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32io/module.h"
#include "win32io/src/dialog_template.h"

namespace win32io {

namespace {

// The layout, in dialog units.
constexpr short kMargin = 7;
constexpr short kLabelWidth = 95;
constexpr short kControlX = kMargin + kLabelWidth + 3;
constexpr short kControlWidth = 160;
constexpr short kBrowseWidth = 18;
constexpr short kWidth = kControlX + kControlWidth + kMargin;
constexpr short kRowPitch = 16;
constexpr short kLineHeight = 12;
constexpr short kDropDownHeight = 100;
constexpr short kHelpHeight = 18;
constexpr short kProblemHeight = 26;  // three lines: a country file's problem is long
constexpr short kButtonWidth = 50;
constexpr short kButtonHeight = 14;

constexpr WORD kHelpId = 900;
constexpr WORD kProblemId = 901;
constexpr WORD kFirstControlId = 1000;
constexpr WORD kFirstLabelId = 2000;
constexpr WORD kFirstBrowseId = 3000;

constexpr int kLongestText = 1024;
constexpr COLORREF kProblemColour = RGB(192, 0, 0);

thread_local HWND openDialog = nullptr;

struct Dialog {
    const std::vector<SettingField>& fields;
    const SettingTexts& texts;
    const SettingCheck& check;
    std::optional<SettingProblem> problem;
    std::optional<SettingTexts> result;
};

WORD ControlId(std::size_t field) {
    return static_cast<WORD>(kFirstControlId + field);
}

bool IsEdit(FieldKind kind) {
    return kind != FieldKind::Choice && kind != FieldKind::OnOff;
}

std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string WithoutAccessKey(const std::string& label) {
    std::string plain;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size()) ++i;
        plain += label[i];
    }
    return plain;
}

bool SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

DialogTemplate Layout(const std::string& title, const std::vector<SettingField>& fields) {
    using Class = DialogTemplate::Class;
    const short rowsEnd = static_cast<short>(kMargin + kRowPitch * fields.size());
    const short helpY = rowsEnd + 4;
    const short problemY = helpY + kHelpHeight + 2;
    const short buttonsY = problemY + kProblemHeight + 4;
    DialogTemplate dialog(title, kWidth, buttonsY + kButtonHeight + kMargin, "MS Sans Serif", 8);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const SettingField& field = fields[i];
        const short y = static_cast<short>(kMargin + kRowPitch * i);
        const WORD id = ControlId(i);
        if (field.kind == FieldKind::OnOff) {
            // A check box carries its own label, and with it the access key.
            dialog.Add(id, Class::Button, field.label, BS_AUTOCHECKBOX | BS_NOTIFY | WS_TABSTOP,
                       kControlX, y + 1, kControlWidth, kLineHeight - 2);
            continue;
        }
        // A label's access key moves the focus to the control after it.
        dialog.Add(static_cast<WORD>(kFirstLabelId + i), Class::Static, field.label + ":", SS_LEFT,
                   kMargin, y + 2, kLabelWidth, kLineHeight - 2);
        if (field.kind == FieldKind::Choice) {
            dialog.Add(id, Class::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                       kControlX, y, kControlWidth, kDropDownHeight);
            continue;
        }
        DWORD style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
        if (field.kind == FieldKind::Password) style |= ES_PASSWORD;
        const bool file = field.kind == FieldKind::File;
        dialog.Add(id, Class::Edit, "", style, kControlX, y,
                   file ? kControlWidth - kBrowseWidth - 2 : kControlWidth, kLineHeight);
        if (file)
            dialog.Add(static_cast<WORD>(kFirstBrowseId + i), Class::Button, "...",
                       BS_PUSHBUTTON | WS_TABSTOP, kControlX + kControlWidth - kBrowseWidth, y,
                       kBrowseWidth, kLineHeight);
    }
    dialog.Add(kHelpId, Class::Static, "", SS_LEFT | SS_NOPREFIX, kMargin, helpY,
               kWidth - 2 * kMargin, kHelpHeight);
    dialog.Add(kProblemId, Class::Static, "", SS_LEFT | SS_NOPREFIX, kMargin, problemY,
               kWidth - 2 * kMargin, kProblemHeight);
    const short cancelX = kWidth - kMargin - kButtonWidth;
    dialog.Add(IDOK, Class::Button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, cancelX - 4 - kButtonWidth,
               buttonsY, kButtonWidth, kButtonHeight);
    dialog.Add(IDCANCEL, Class::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, cancelX, buttonsY,
               kButtonWidth, kButtonHeight);
    return dialog;
}

void CentreOverOwner(HWND dialog) {
    const HWND owner = GetWindow(dialog, GW_OWNER);
    RECT around{};
    if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &around))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &around, 0);
    RECT self{};
    GetWindowRect(dialog, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = around.left + (around.right - around.left - width) / 2;
    int y = around.top + (around.bottom - around.top - height) / 2;
    // Whole on the screen that holds it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&around, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(work.left, std::min<int>(x, work.right - width));
        y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Fill(HWND dialog, const Dialog& state) {
    for (std::size_t i = 0; i < state.fields.size(); ++i) {
        const SettingField& field = state.fields[i];
        const HWND control = GetDlgItem(dialog, ControlId(i));
        const auto found = state.texts.find(field.key);
        const std::string text = found == state.texts.end() ? std::string() : found->second;
        switch (field.kind) {
            case FieldKind::OnOff: {
                const bool on = field.choices.size() == 2 && SameText(text, field.choices[1]);
                SendMessageA(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
                break;
            }
            case FieldKind::Choice: {
                std::vector<std::string> choices = field.choices;
                // A value from the file that is no choice is shown as it is, for the check to name.
                const bool known = std::any_of(choices.begin(), choices.end(),
                                               [&](const auto& c) { return SameText(c, text); });
                if (!known) choices.push_back(text);
                for (const std::string& choice : choices)
                    SendMessageA(control, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(choice.c_str()));
                const auto at = std::find_if(choices.begin(), choices.end(),
                                             [&](const auto& c) { return SameText(c, text); });
                SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(at - choices.begin()), 0);
                break;
            }
            default:
                SendMessageA(control, EM_LIMITTEXT, kLongestText, 0);
                SetWindowTextA(control, text.c_str());
                break;
        }
    }
}

SettingTexts Read(HWND dialog, const Dialog& state) {
    SettingTexts texts;
    for (std::size_t i = 0; i < state.fields.size(); ++i) {
        const SettingField& field = state.fields[i];
        const HWND control = GetDlgItem(dialog, ControlId(i));
        if (field.kind == FieldKind::OnOff) {
            const bool on = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            texts[field.key] = field.choices.size() == 2 ? field.choices[on ? 1 : 0] : "";
        } else {
            texts[field.key] = WindowText(control);
        }
    }
    return texts;
}

void ShowProblem(HWND dialog, const Dialog& state, const SettingProblem& problem) {
    const auto at = std::find_if(state.fields.begin(), state.fields.end(),
                                 [&](const SettingField& f) { return f.key == problem.key; });
    const std::string name = at == state.fields.end() ? problem.key : WithoutAccessKey(at->label);
    SetDlgItemTextA(dialog, kProblemId, (name + ": " + problem.text).c_str());
    if (at == state.fields.end()) return;
    const HWND control =
        GetDlgItem(dialog, ControlId(static_cast<std::size_t>(at - state.fields.begin())));
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    if (IsEdit(at->kind)) SendMessageA(control, EM_SETSEL, 0, -1);
}

void ShowHelp(HWND dialog, const Dialog& state, WORD id) {
    if (id < kFirstControlId || id >= kFirstControlId + state.fields.size()) return;
    SetDlgItemTextA(dialog, kHelpId, state.fields[id - kFirstControlId].help.c_str());
}

// The file dialog for a field's edit box: a file in the program's folder is kept by its name.
void Browse(HWND dialog, WORD editId) {
    const HWND edit = GetDlgItem(dialog, editId);
    std::string path = WindowText(edit);
    const std::string folder = ProgramFolder();
    std::vector<char> chosen(MAX_PATH * 4, '\0');
    path.copy(chosen.data(), std::min(path.size(), chosen.size() - 1));
    OPENFILENAMEA open{};
    open.lStructSize = sizeof open;
    open.hwndOwner = dialog;
    open.lpstrFile = chosen.data();
    open.nMaxFile = static_cast<DWORD>(chosen.size());
    open.lpstrInitialDir = folder.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&open)) return;
    std::string picked = chosen.data();
    const std::string prefix = folder + "\\";
    if (picked.size() > prefix.size() && SameText(picked.substr(0, prefix.size()), prefix) &&
        picked.find('\\', prefix.size()) == std::string::npos)
        picked = picked.substr(prefix.size());
    SetWindowTextA(edit, picked.c_str());
}

INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<Dialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            state = reinterpret_cast<Dialog*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            openDialog = dialog;
            Fill(dialog, *state);
            CentreOverOwner(dialog);
            if (!state->problem) return TRUE;  // the first field gets the focus
            ShowProblem(dialog, *state, *state->problem);
            return FALSE;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, kProblemId)) return FALSE;
            SetTextColor(reinterpret_cast<HDC>(wParam), kProblemColour);
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_COMMAND: {
            if (!state) return FALSE;
            const WORD id = LOWORD(wParam);
            const WORD code = HIWORD(wParam);
            if (code == EN_SETFOCUS || code == CBN_SETFOCUS || code == BN_SETFOCUS) {
                ShowHelp(dialog, *state, id);
                return TRUE;
            }
            if (id >= kFirstBrowseId && id < kFirstBrowseId + state->fields.size() &&
                code == BN_CLICKED) {
                Browse(dialog, ControlId(id - kFirstBrowseId));
                return TRUE;
            }
            if (id == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            if (id != IDOK) return FALSE;
            SettingTexts texts = Read(dialog, *state);
            if (const auto problem = state->check(texts)) {
                MessageBeep(MB_ICONWARNING);
                ShowProblem(dialog, *state, *problem);
                return TRUE;
            }
            state->result = std::move(texts);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case WM_DESTROY:
            openDialog = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

std::optional<SettingTexts> ShowSettingsDialog(HWND owner, const std::string& title,
                                               const std::vector<SettingField>& fields,
                                               const SettingTexts& texts, const SettingCheck& check,
                                               const std::optional<SettingProblem>& problem) {
    const DialogTemplate layout = Layout(title, fields);
    Dialog state{fields, texts, check, problem, std::nullopt};
    DialogBoxIndirectParamA(ThisModule(), layout.Get(), owner, &Procedure,
                            reinterpret_cast<LPARAM>(&state));
    return state.result;
}

void CancelSettingsDialog() {
    if (openDialog) EndDialog(openDialog, IDCANCEL);
}

}  // namespace win32io
