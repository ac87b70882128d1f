#pragma once
// A program's settings dialog, made from its table of fields: each field a label with its access
// key and the control that suits its kind, in the table's order, which is the Tab order; a help
// line for the field with the focus; OK and Cancel.
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace win32io {

enum class FieldKind {
    Text,      // an edit box
    Number,    // an edit box
    Password,  // an edit box that shows no characters
    File,      // an edit box and a button that opens the file dialog
    List,      // an edit box for several values, "160m,40m"
    Choice,    // a drop-down list of the choices
    OnOff,     // a check box
};

struct SettingField {
    std::string key;    // the field's name in texts and problems, "NODE_HOST"
    std::string label;  // in plain words with its access key, "&Node address"
    FieldKind kind = FieldKind::Text;
    // Choice: what can be picked. OnOff: the text when off, then the text when on.
    std::vector<std::string> choices;
    std::string help;  // a line of help, shown while the field has the focus
};

// Each field's text, by key.
using SettingTexts = std::map<std::string, std::string>;

// What is wrong with the texts: the field at fault and why, "is not a locator".
struct SettingProblem {
    std::string key;
    std::string text;
};

// The first problem of a whole set of texts, or nothing when they can be used.
using SettingCheck = std::function<std::optional<SettingProblem>(const SettingTexts&)>;

// Shows the dialog, modal, over the owner, each field with its text. OK checks the whole set: a
// problem is named in the dialog with the field's label, that field gets the focus and the dialog
// stays open; otherwise the dialog ends with the texts. Cancel (or Esc, or the close box) ends it
// with nothing. `problem`, when given, is shown as the dialog opens.
std::optional<SettingTexts> ShowSettingsDialog(HWND owner, const std::string& title,
                                               const std::vector<SettingField>& fields,
                                               const SettingTexts& texts, const SettingCheck& check,
                                               const std::optional<SettingProblem>& problem = {});

// Ends an open settings dialog of this thread as Cancel does, as when the program must close.
void CancelSettingsDialog();

}  // namespace win32io
