#pragma once
// The eight built-in macro skeletons of File > "Import macro Template" and the
// rule that inserts one into the Macro editor's text. Texts use CR LF line
// breaks; template 1 ends with a line break, 2..8 end with their last ";".
//
// The GUI builds the submenu from MacroTemplates() (caption, tag, separator
// after the item) and on a click calls InsertMacroTemplate with the editor's
// text, selection and caret column, then replaces the editor's whole text.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace varnok::properties {

inline constexpr std::string_view kImportTemplateMenuCaption = "Import macro Template";

struct MacroTemplate {
  int tag;                   // 1..8, the menu item's tag
  std::string_view caption;  // menu item caption, e.g. "Telnet session"
  std::string_view text;     // the template, byte-exact
  bool separator_after;      // a separator item follows in the menu
};

inline constexpr int kMacroTemplateCount = 8;

const std::array<MacroTemplate, kMacroTemplateCount>& MacroTemplates();

// The template text of tag 1..8; empty for any other tag.
std::string_view MacroTemplateText(int tag);

// The editor text after inserting `templ`: the selection [start, start +
// length) is replaced by the template followed by CR LF; when the caret is not
// in the first column of its line a CR LF also precedes the template.
// Offsets count bytes of the 8-bit text. A start or length beyond the text is
// limited to the text.
std::string InsertMacroTemplate(std::string_view text, std::size_t selection_start,
                                std::size_t selection_length, bool caret_in_first_column,
                                std::string_view templ);

}  // namespace varnok::properties
