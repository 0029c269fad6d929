#include "cvl/cvl_style.h"

#include <cstddef>

namespace varnok::cvl {
namespace {

constexpr std::array<AttributeStyle, 6> kStyles = {{
    {Attribute::Comment, "CommentAttri", {0, 128, 0}, false, true},
    {Attribute::Identifier, "IdentifierAttri", {0, 128, 128}, false, false},
    {Attribute::Key, "KeyAttri", {0, 0, 128}, true, false},
    {Attribute::Label, "LabelAttri", {0, 0, 255}, false, false},
    {Attribute::String, "StringAttri", {128, 0, 128}, false, false},
    {Attribute::SysVars, "SysVarsAttri", {128, 128, 0}, false, false},
}};

constexpr std::string_view kSample =
    "; Sample source for the demo highlighter \r\n"
    "\r\n"
    "This highlighter will recognize the commands of Corvane macro language as keywords.\r\n"
    "Word connect is example of such command.\r\n"
    "\r\n"
    "It will also highlight \"Strings in double quotas\", 'Strings in single quotas', Labels\r\n"
    " and Corvane Macro language System Variables like inputstr.\r\n"
    "\r\n"
    "; Comments starting with semicolon are also highlighted";

}  // namespace

const std::array<AttributeStyle, 6>& DefaultAttributeStyles() { return kStyles; }

const AttributeStyle& DefaultStyle(Attribute attribute) {
  return kStyles[static_cast<std::size_t>(attribute) - 1];
}

Attribute DefaultAttribute(HighlighterRole role) {
  switch (role) {
    case HighlighterRole::Comment:
      return Attribute::Comment;
    case HighlighterRole::Identifier:
      return Attribute::Identifier;
    case HighlighterRole::Keyword:
      return Attribute::Key;
    case HighlighterRole::String:
      return Attribute::String;
    case HighlighterRole::Whitespace:
    case HighlighterRole::Symbol:
      break;
  }
  return Attribute::None;
}

std::string_view SampleSource() { return kSample; }

}  // namespace varnok::cvl
