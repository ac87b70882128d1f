#pragma once
// A dialog template made in memory, for dialogs whose controls are known only at run time: the
// dialog's frame and font, then its controls in Tab order. Sizes are in dialog units.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace win32io {

class DialogTemplate {
  public:
    // The predefined classes a control can be of.
    enum class Class : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, ComboBox = 0x85 };

    DialogTemplate(const std::string& title, short width, short height, const std::string& font,
                   WORD pointSize);

    void Add(WORD id, Class kind, const std::string& text, DWORD style, short x, short y,
             short width, short height);

    // Valid until the next Add.
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Word(WORD value) { words_.push_back(value); }
    void Long(DWORD value);
    void Text(const std::string& text);  // UTF-16, with its NUL
    void AlignToLong();

    std::vector<WORD> words_;
    std::size_t countAt_ = 0;  // where the template's count of controls is
};

}  // namespace win32io
