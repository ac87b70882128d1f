// The general field splitter the spot lines go through.
#include "app/frmRCI.h"
#include "base/text.h"

// Each field loses its leading and trailing spaces, and so does the remainder after each
// separator: a text ending in a separator (and spaces) has no empty last field. A text without
// any separator is one field, as it is, untrimmed. An empty separator splits nothing.
void frmRCI::SplitFields(std::string Text, const std::string& Separator,
                         std::vector<std::string>& Fields) {
    Fields.clear();
    try {
        std::string_view rest(Text);
        std::size_t at;
        while (!Separator.empty() && (at = rest.find(Separator)) != std::string_view::npos) {
            Fields.push_back(base::TrimSpaces(rest.substr(0, at)));
            rest.remove_prefix(at + Separator.size());
            const std::size_t first = rest.find_first_not_of(' ');
            rest = first == std::string_view::npos
                       ? std::string_view()
                       : rest.substr(first, rest.find_last_not_of(' ') - first + 1);
        }
        if (!rest.empty()) Fields.emplace_back(rest);
    } catch (...) {
        // The splitter reports nothing: the fields stored so far are its result.
    }
}
