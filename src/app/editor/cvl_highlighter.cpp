#include "editor/cvl_highlighter.h"

#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "cvl/cvl_lexer.h"

namespace varnok::app {
namespace {

using cvl::Attribute;
using cvl::TokenKind;

// Style numbers: Identifier is style 0, so text not yet styled (a fresh
// insertion) shows in the colour of most text.
constexpr std::array<Attribute, 6> kAttributeOfStyle = {Attribute::Identifier, Attribute::Comment,
                                                        Attribute::Key,        Attribute::Label,
                                                        Attribute::String,     Attribute::SysVars};

constexpr std::array<char, 8> MakeStyleOfKind() {
  std::array<char, 8> styles{};
  for (std::size_t kind = 0; kind < styles.size(); ++kind) {
    Attribute attribute = cvl::AttributeOf(static_cast<TokenKind>(kind));
    if (attribute == Attribute::None) attribute = Attribute::Identifier;
    for (std::size_t style = 0; style < kAttributeOfStyle.size(); ++style)
      if (kAttributeOfStyle[style] == attribute) styles[kind] = static_cast<char>(style);
  }
  return styles;
}
constexpr std::array<char, 8> kStyleOfKind = MakeStyleOfKind();

bool IsStyle(int style) { return style >= 0 && style < static_cast<int>(kAttributeOfStyle.size()); }

QColor ToColor(cvl::Rgb rgb) { return {rgb.r, rgb.g, rgb.b}; }

}  // namespace

CvlHighlighter::CvlHighlighter(const QFont& font, QObject* parent)
    : QsciLexerCustom(parent), font_(font), background_(Qt::white) {
  setDefaultFont(font_);
  setDefaultPaper(background_);
}

int CvlHighlighter::styleOf(Attribute attribute) {
  for (std::size_t style = 0; style < kAttributeOfStyle.size(); ++style)
    if (kAttributeOfStyle[style] == attribute) return static_cast<int>(style);
  return -1;
}

const char* CvlHighlighter::language() const { return cvl::kLanguageName.data(); }

QString CvlHighlighter::description(int style) const {
  if (!IsStyle(style)) return {};
  const std::string_view name = cvl::DefaultStyle(kAttributeOfStyle[static_cast<std::size_t>(style)]).name;
  return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QColor CvlHighlighter::defaultColor(int style) const {
  if (!IsStyle(style)) return QsciLexerCustom::defaultColor(style);
  return ToColor(cvl::DefaultStyle(kAttributeOfStyle[static_cast<std::size_t>(style)]).foreground);
}

QFont CvlHighlighter::defaultFont(int style) const {
  QFont font = font_;
  if (IsStyle(style)) {
    const cvl::AttributeStyle& s = cvl::DefaultStyle(kAttributeOfStyle[static_cast<std::size_t>(style)]);
    font.setBold(s.bold);
    font.setItalic(s.italic);
  }
  return font;
}

// No attribute has a background of its own.
QColor CvlHighlighter::defaultPaper(int) const { return background_; }

const char* CvlHighlighter::wordCharacters() const { return cvl::kEditorWordChars.data(); }

void CvlHighlighter::setBackground(const QColor& background) {
  background_ = background;
  setDefaultPaper(background);
  setPaper(background, -1);
}

long CvlHighlighter::send(unsigned int message, unsigned long wParam, long lParam) const {
  return editor()->SendScintilla(message, wParam, lParam);
}

void CvlHighlighter::setEditor(QsciScintilla* editor) {
  if (QsciScintilla* old = this->editor()) disconnect(old, &QsciScintillaBase::SCN_MODIFIED, this, nullptr);
  QsciLexerCustom::setEditor(editor);
  styled_.clear();
  if (!editor) return;
  editor->SendScintilla(QsciScintillaBase::SCI_SETWORDCHARS, 0UL, wordCharacters());
  connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
          [this](int position, int type, const char*, int, int linesAdded, int, int, int, int, int) {
            textModified(position, type, linesAdded);
          });
  invalidate();
}

void CvlHighlighter::invalidate() {
  if (!editor()) return;
  styled_.assign(static_cast<std::size_t>(send(QsciScintillaBase::SCI_GETLINECOUNT)), 0);
  lowerStyledMark();
}

void CvlHighlighter::textModified(int position, int modificationType, int linesAdded) {
  if (!(modificationType & (QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT)))
    return;
  const auto lines = static_cast<std::size_t>(send(QsciScintillaBase::SCI_GETLINECOUNT));
  const auto line = static_cast<std::size_t>(
      send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(position)));
  if (styled_.size() + static_cast<std::size_t>(static_cast<long>(linesAdded)) != lines || line >= lines ||
      (linesAdded < 0 && line + static_cast<std::size_t>(-linesAdded) >= styled_.size())) {
    styled_.assign(lines, 0);  // out of step: style everything again when shown
    lowerStyledMark();
    return;
  }
  // The lines the change touched are the one it starts on and those it added;
  // the lines after it keep their styles (they move with their text).
  const auto after = styled_.begin() + static_cast<std::ptrdiff_t>(line) + 1;
  if (linesAdded > 0)
    styled_.insert(after, static_cast<std::size_t>(linesAdded), 0);
  else if (linesAdded < 0)
    styled_.erase(after, after - linesAdded);
  styled_[line] = 0;
}

void CvlHighlighter::styleText(int start, int end) {
  if (!editor()) return;
  const auto lines = static_cast<int>(send(QsciScintillaBase::SCI_GETLINECOUNT));
  if (styled_.size() != static_cast<std::size_t>(lines)) styled_.assign(static_cast<std::size_t>(lines), 0);
  int first =
      static_cast<int>(send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(start)));
  int last = static_cast<int>(
      send(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<unsigned long>(std::max(start, end - 1))));
  // Only what is shown: Scintilla asks from the first line not styled, which
  // may lie far above the view, to the end of the view.
  const long topVisible = send(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE);
  const int top = static_cast<int>(
      send(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE, static_cast<unsigned long>(topVisible)));
  const int bottom = static_cast<int>(
      send(QsciScintillaBase::SCI_DOCLINEFROMVISIBLE,
           static_cast<unsigned long>(topVisible + send(QsciScintillaBase::SCI_LINESONSCREEN))));
  first = std::max(first, top);
  last = std::min({last, bottom, lines - 1});
  for (int line = first; line <= last;) {
    if (styled_[static_cast<std::size_t>(line)]) {
      ++line;
      continue;
    }
    int runEnd = line;
    while (runEnd < last && !styled_[static_cast<std::size_t>(runEnd) + 1]) ++runEnd;
    styleRun(line, runEnd);
    line = runEnd + 1;
  }
  lowerStyledMark();
}

void CvlHighlighter::styleLines(int first, int last) {
  if (!editor()) return;
  const auto lines = static_cast<int>(send(QsciScintillaBase::SCI_GETLINECOUNT));
  if (styled_.size() != static_cast<std::size_t>(lines)) styled_.assign(static_cast<std::size_t>(lines), 0);
  first = std::max(first, 0);
  last = std::min(last, lines - 1);
  if (first > last) return;
  styleRun(first, last);
  lowerStyledMark();
}

void CvlHighlighter::styleRun(int first, int last) {
  const long begin = send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
  const long lineCount = send(QsciScintillaBase::SCI_GETLINECOUNT);
  const long end = last + 1 < lineCount
                       ? send(QsciScintillaBase::SCI_POSITIONFROMLINE, static_cast<unsigned long>(last) + 1)
                       : send(QsciScintillaBase::SCI_GETLENGTH);
  const auto length = static_cast<std::size_t>(std::max(0L, end - begin));
  if (length > 0) {
    const auto* text =
        reinterpret_cast<const char*>(send(QsciScintillaBase::SCI_GETRANGEPOINTER,
                                           static_cast<unsigned long>(begin), static_cast<long>(length)));
    styles_.resize(length);
    char* out = styles_.data();
    cvl::CvlLexer lexer;
    // Lines are lexed with their line end, which becomes Other tokens: the
    // lexer stops every token at a line end, so the tokens are those of the
    // line alone.
    for (std::size_t offset = 0; offset < length;) {
      const void* lineFeed = std::memchr(text + offset, '\n', length - offset);
      const std::size_t lineEnd =
          lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text) + 1 : length;
      for (lexer.setLine(std::string_view(text + offset, lineEnd - offset)); !lexer.atEndOfLine();
           lexer.next()) {
        const char style = kStyleOfKind[static_cast<std::size_t>(lexer.kind())];
        const std::size_t at = offset + lexer.tokenStart();
        if (lexer.tokenLength() == 1)
          out[at] = style;
        else
          std::memset(out + at, style, lexer.tokenLength());
      }
      offset = lineEnd;
    }
    send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(begin), 0);
    editor()->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<unsigned long>(length),
                            styles_.data());
  }
  std::fill(styled_.begin() + first, styled_.begin() + last + 1, std::uint8_t{1});
  linesStyled_ += last - first + 1;
  lastFirst_ = first;
  lastLast_ = last;
}

void CvlHighlighter::lowerStyledMark() {
  const auto unstyled = std::find(styled_.begin(), styled_.end(), std::uint8_t{0});
  const long position = unstyled == styled_.end()
                            ? send(QsciScintillaBase::SCI_GETLENGTH)
                            : send(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                   static_cast<unsigned long>(unstyled - styled_.begin()));
  send(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(position), 0);
}

}  // namespace varnok::app
