#pragma once
// Display attributes of the CVL highlighter as plain data: the GUI maps each
// Attribute to one editor style (e.g. a QsciLexerCustom style number) with the
// default colour and font style given here. No attribute sets a background;
// the editor's background shows through.
#include <array>
#include <cstdint>
#include <string_view>

namespace varnok::cvl {

enum class Attribute : std::uint8_t { None, Comment, Identifier, Key, Label, String, SysVars };

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct AttributeStyle {
  Attribute attribute;
  std::string_view name;  // the attribute's property name, e.g. "CommentAttri"
  Rgb foreground;
  bool bold;
  bool italic;
};

// Comment, Identifier, Key, Label, String, SysVars, in that order.
const std::array<AttributeStyle, 6>& DefaultAttributeStyles();
// The default style of an attribute; must not be called with Attribute::None.
const AttributeStyle& DefaultStyle(Attribute attribute);

// The roles an editor component asks default attributes for.
enum class HighlighterRole { Comment, Identifier, Keyword, String, Whitespace, Symbol };
// Comment, Identifier, Key, String; None for whitespace and symbol.
Attribute DefaultAttribute(HighlighterRole role);

inline constexpr std::string_view kLanguageName = "Corvane Macro";
inline constexpr std::string_view kDefaultFilter = "Corvane Macro (*.cvl)|*.cvl";

// Preview text for a style dialog: nine lines joined by CR LF.
std::string_view SampleSource();

}  // namespace varnok::cvl
