#pragma once
// The Macro editor's highlighter: the core's CVL lexer behind QScintilla's
// container-lexer hook, with the six attributes of the macro language as
// editor styles.
//
// The lexer carries nothing from one line to the next, so the highlighter
// keeps one "styled" flag per line instead of Scintilla's single styled-up-to
// position: it styles only lines that are shown and not yet styled, and an
// edit clears the flags of the lines it touched and of no others. Each run of
// consecutive lines is styled with one Scintilla call (a buffer of styles).
#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>
#include <cstdint>
#include <string>
#include <vector>

#include "cvl/cvl_style.h"

namespace varnok::app {

class CvlHighlighter : public QsciLexerCustom {
  Q_OBJECT
 public:
  // `font`: the editor's font; the attributes add bold or italic to it.
  explicit CvlHighlighter(const QFont& font, QObject* parent = nullptr);

  // The editor style of an attribute (Attribute::None has none: -1).
  static int styleOf(cvl::Attribute attribute);

  const char* language() const override;
  QString description(int style) const override;
  QColor defaultColor(int style) const override;
  QFont defaultFont(int style) const override;
  QColor defaultPaper(int style) const override;
  const char* wordCharacters() const override;
  void setEditor(QsciScintilla* editor) override;
  void styleText(int start, int end) override;

  // The background of every style: the editor's background shows through.
  void setBackground(const QColor& background);
  QColor background() const { return background_; }

  // Styles the lines first..last (0-based, inclusive) in one pass, whether
  // shown or not.
  void styleLines(int first, int last);
  // Forgets which lines are styled (they are styled again when shown).
  void invalidate();

  // Counts for tests and benchmarks: the lines styled since the editor was
  // attached, and the first and last line of the latest styling call.
  long linesStyled() const { return linesStyled_; }
  int lastFirstLine() const { return lastFirst_; }
  int lastLastLine() const { return lastLast_; }

 private:
  void textModified(int position, int modificationType, int linesAdded);
  void styleRun(int first, int last);
  // Scintilla asks again from the first line that is not styled.
  void lowerStyledMark();
  long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;

  QFont font_;
  QColor background_;
  std::vector<std::uint8_t> styled_;  // per line: 1 when its styles are up to date
  std::string styles_;                // the style bytes of the run being styled
  long linesStyled_ = 0;
  int lastFirst_ = -1;
  int lastLast_ = -1;
};

}  // namespace varnok::app
