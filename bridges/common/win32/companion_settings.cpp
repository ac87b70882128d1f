#include "bridges/common/win32/companion_settings.h"

namespace bridges {

namespace {
win32io::FieldKind DialogKind(FieldKind kind) {
    switch (kind) {
        case FieldKind::Number:
            return win32io::FieldKind::Number;
        case FieldKind::OnOff:
            return win32io::FieldKind::OnOff;
        case FieldKind::Choice:
            return win32io::FieldKind::Choice;
        case FieldKind::Password:
            return win32io::FieldKind::Password;
        case FieldKind::FilePath:
            return win32io::FieldKind::File;
        case FieldKind::List:
            return win32io::FieldKind::List;
        case FieldKind::Text:
            break;
    }
    return win32io::FieldKind::Text;
}
}  // namespace

win32io::SettingField DialogField(const FieldInfo& info) {
    win32io::SettingField field;
    field.key = info.key;
    field.label = info.label;
    field.kind = DialogKind(info.kind);
    field.choices = info.kind == FieldKind::OnOff
                        ? std::vector<std::string>{OnOffText(false), OnOffText(true)}
                        : info.choices;
    field.help = info.help;
    if (!field.help.empty()) field.help[0] = base::UpperCase(field.help[0]);
    if (info.needed) field.help += " (needed)";
    return field;
}

}  // namespace bridges
