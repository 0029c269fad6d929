// The Macro editor in the window: the highlighter's styles against the
// lexer's golden files, styling only shown and edited lines, the two looks
// (highlighter or connection colours), and the keys and scroll behaviours of
// the editors (End/Home toggles, smart tabs, the scroll hint, the horizontal
// range of a new text).
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cvl/cvl_lexer.h"
#include "cvl/token_dump.h"
#include "editor/cvl_highlighter.h"
#include "pages/macro_page.h"
#include "platform/settings_names.h"
#include "run/preview_window.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;
namespace fs = std::filesystem;

namespace {

using Sci = QsciScintillaBase;

long Send(QsciScintilla& e, unsigned int message, long wParam = 0, long lParam = 0) {
  return e.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

// Puts bytes into the editor as they are (NULs and 8-bit bytes included).
void SetBytes(QsciScintilla& e, const std::string& bytes) {
  Send(e, Sci::SCI_CLEARALL);
  e.SendScintilla(Sci::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

int StyleOfKind(cvl::TokenKind kind) {
  const cvl::Attribute attribute = cvl::AttributeOf(kind);
  return CvlHighlighter::styleOf(attribute == cvl::Attribute::None ? cvl::Attribute::Identifier : attribute);
}

// Paints the editor's text now.
void Paint(QsciScintilla& e) { e.viewport()->repaint(); }

// Shows every line of the editor once, page by page, as a user scrolling down.
void ShowAllLines(QsciScintilla& e) {
  const long lines = Send(e, Sci::SCI_GETLINECOUNT);
  const long page = std::max(1L, Send(e, Sci::SCI_LINESONSCREEN));
  for (long top = 0; top < lines; top += page) {
    e.setFirstVisibleLine(static_cast<int>(top));
    Paint(e);
  }
  e.setFirstVisibleLine(0);
}

// Empty when the styles of lines first..last are those of the core lexer.
QString StyleMismatch(QsciScintilla& e, int first, int last) {
  cvl::CvlLexer lexer;
  for (int line = first; line <= last; ++line) {
    const long start = Send(e, Sci::SCI_POSITIONFROMLINE, line);
    const long end = Send(e, Sci::SCI_GETLINEENDPOSITION, line);
    const QByteArray text = e.text(line).toUtf8().left(static_cast<qsizetype>(end - start));
    for (lexer.setLine(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
         !lexer.atEndOfLine(); lexer.next())
      for (std::size_t i = 0; i < lexer.tokenLength(); ++i) {
        const long at = start + static_cast<long>(lexer.tokenStart() + i);
        if (Send(e, Sci::SCI_GETSTYLEAT, at) != StyleOfKind(lexer.kind()))
          return QStringLiteral("line %1 column %2").arg(line + 1).arg(lexer.tokenStart() + i);
      }
  }
  return {};
}

QString NumberedMacro(int lines) {
  QStringList text;
  for (int i = 0; i < lines; ++i)
    text << QStringLiteral("sendln 'show run %1' ; line %1").arg(i) << QStringLiteral(":label_%1").arg(i)
         << QStringLiteral("  if result=0 then goto done_%1").arg(i);
  return text.mid(0, lines).join(QStringLiteral("\r\n"));
}

// Everything the two looks set, for comparing one look before and after a round trip.
QStringList LookOf(QsciScintilla& e) {
  QStringList look;
  look << QStringLiteral("lexer %1").arg(e.lexer() ? e.lexer()->language() : "none")
       << QStringLiteral("margin %1").arg(e.marginWidth(0))
       << QStringLiteral("caret %1").arg(Send(e, Sci::SCI_GETCARETFORE));
  for (int style :
       {0, 1, 2, 3, 4, 5, int(QsciScintillaBase::STYLE_DEFAULT), int(QsciScintillaBase::STYLE_LINENUMBER)}) {
    char font[128] = {};
    e.SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(style), font);
    look << QStringLiteral("style %1: fore %2 back %3 bold %4 italic %5 size %6 font %7")
                .arg(style)
                .arg(Send(e, Sci::SCI_STYLEGETFORE, style))
                .arg(Send(e, Sci::SCI_STYLEGETBACK, style))
                .arg(Send(e, Sci::SCI_STYLEGETBOLD, style))
                .arg(Send(e, Sci::SCI_STYLEGETITALIC, style))
                .arg(Send(e, Sci::SCI_STYLEGETSIZE, style))
                .arg(QString::fromLatin1(font));
  }
  look << QStringLiteral("styles of the first line:");
  for (long p = 0; p < Send(e, Sci::SCI_GETLINEENDPOSITION, 0); ++p)
    look.last() += QString::number(Send(e, Sci::SCI_GETSTYLEAT, p));
  return look;
}

long Rgb(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }

}  // namespace

class MacroEditorTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  // A window on connections with the given macros, the first focused and
  // the Macro page shown.
  MainWindow& openOn(const std::vector<std::string>& entries) {
    // Connection colours in the editor are on by default; these tests look at the highlighter.
    f->settings().write({platform::UseColorsInEditor.value(0)});
    MainWindow& w = f->openActiveOn(entries);
    w.treeView().setFocus();
    w.selectNode(w.tree().top()->child(0));
    QTest::qWait(0);
    w.refreshCommands();
    Child<QTabWidget>(w, "PG")->setCurrentWidget(&page(w));
    QTest::qWait(0);
    return w;
  }
  MacroPage& page(MainWindow& w) { return *Child<MacroPage>(w, "TS1"); }
  QsciScintilla& editorOf(MainWindow& w) { return *Child<QsciScintilla>(w, "Memo1"); }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // Every byte of every golden file has the style of its token's kind.
  void stylesFollowTheGoldenTokens() {
    MainWindow& w = openOn({"1:a:"});
    QsciScintilla& e = editorOf(w);
    const fs::path dir = fs::path(VARNOK_SOURCE_DIR) / "tests" / "golden" / "lexer";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().extension() != ".cvl") continue;
      ++files;
      const std::string text = ReadBytes(entry.path());
      fs::path tokens = entry.path();
      tokens.replace_extension(".tokens");
      SetBytes(e, text);
      ShowAllLines(e);
      const std::vector<std::string_view> lines = cvl::SplitEditorLines(text);
      QCOMPARE(Send(e, Sci::SCI_GETLINECOUNT), static_cast<long>(lines.size()));
      std::ifstream in(tokens);
      std::string row;
      int checked = 0;
      while (std::getline(in, row)) {
        int line = 0, start = 0, length = 0;
        char kind[32] = {};
        QVERIFY2(std::sscanf(row.c_str(), "%d:%d:%d:%31s", &line, &start, &length, kind) == 4, row.c_str());
        cvl::TokenKind k = cvl::TokenKind::Other;
        for (int i = 0; i < 8; ++i)
          if (cvl::TokenKindName(static_cast<cvl::TokenKind>(i)) == kind) k = static_cast<cvl::TokenKind>(i);
        const long at = Send(e, Sci::SCI_POSITIONFROMLINE, line - 1) + start;
        for (long i = 0; i < length; ++i)
          QVERIFY2(
              Send(e, Sci::SCI_GETSTYLEAT, at + i) == StyleOfKind(k),
              qPrintable(QStringLiteral("%1: token %2").arg(entry.path().filename().c_str(), row.c_str())));
        checked += length;
      }
      QVERIFY(checked > 0);
      // Line ends are drawn like plain words.
      for (long l = 0; l + 1 < static_cast<long>(lines.size()); ++l)
        QCOMPARE(Send(e, Sci::SCI_GETSTYLEAT, Send(e, Sci::SCI_GETLINEENDPOSITION, l)),
                 static_cast<long>(CvlHighlighter::styleOf(cvl::Attribute::Identifier)));
    }
    QVERIFY(files >= 3);
    Send(e, Sci::SCI_CLEARALL);
  }

  void attributesHaveTheirDefaultLook() {
    MainWindow& w = openOn({"1:a:connect 'x'"});
    QsciScintilla& e = editorOf(w);
    const QColor paper = Child<QsciScintilla>(w, "Memo2")->paper();
    for (const cvl::AttributeStyle& s : cvl::DefaultAttributeStyles()) {
      const int style = CvlHighlighter::styleOf(s.attribute);
      QCOMPARE(Send(e, Sci::SCI_STYLEGETFORE, style),
               long(s.foreground.r | (s.foreground.g << 8) | (s.foreground.b << 16)));
      QCOMPARE(Send(e, Sci::SCI_STYLEGETBACK, style), Rgb(paper));
      // QScintilla passes Qt's font weight, negated.
      QCOMPARE(Send(e, Sci::SCI_STYLEGETWEIGHT, style), s.bold ? -700L : -400L);
      QCOMPARE(Send(e, Sci::SCI_STYLEGETITALIC, style) != 0, s.italic);
      QCOMPARE(Send(e, Sci::SCI_STYLEGETSIZE, style), long(e.font().pointSize()));
    }
    std::string words(static_cast<std::size_t>(Send(e, Sci::SCI_GETWORDCHARS)), '\0');
    e.SendScintilla(Sci::SCI_GETWORDCHARS, 0UL, words.data());
    std::string expected(cvl::kEditorWordChars);
    std::sort(words.begin(), words.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(words, expected);
    QCOMPARE(QByteArray(e.lexer()->language()), QByteArray("Corvane Macro"));
  }

  // Scintilla asks from the first unstyled line; only the shown lines are
  // styled, and an edit restyles the lines it touched and no others.
  void onlyShownAndEditedLinesAreStyled() {
    MainWindow& w = openOn({"1:a:" + NumberedMacro(600).toStdString()});
    QsciScintilla& e = editorOf(w);
    CvlHighlighter& h = page(w).highlighter();
    Paint(e);
    const long shown = Send(e, Sci::SCI_LINESONSCREEN);
    QVERIFY(shown > 5);
    QVERIFY2(h.linesStyled() <= shown + 2, qPrintable(QString::number(h.linesStyled())));
    QCOMPARE(StyleMismatch(e, 0, static_cast<int>(shown)), QString());

    e.setFirstVisibleLine(400);
    Paint(e);
    QVERIFY(h.linesStyled() <= 2 * shown + 4);  // not the 400 lines between
    QCOMPARE(h.lastFirstLine(), 400);
    QCOMPARE(StyleMismatch(e, 400, 400 + static_cast<int>(shown)), QString());

    // Typing on line 410: that line only.
    e.setFocus();
    e.setCursorPosition(410, 3);
    long before = h.linesStyled();
    QTest::keyClicks(&e, QStringLiteral("'x"));
    Paint(e);
    QVERIFY(h.linesStyled() - before <= 2);  // at most once per keystroke
    QCOMPARE(h.lastFirstLine(), 410);
    QCOMPARE(h.lastLastLine(), 410);
    // A line break: the line and the new one; the lines below keep their styles.
    before = h.linesStyled();
    QTest::keyClick(&e, Qt::Key_Return);
    Paint(e);
    QCOMPARE(h.linesStyled() - before, 2L);
    QCOMPARE(h.lastFirstLine(), 410);
    QCOMPARE(h.lastLastLine(), 411);
    QCOMPARE(StyleMismatch(e, 400, 400 + static_cast<int>(shown)), QString());
    // Deleting across lines: the joined line.
    before = h.linesStyled();
    e.setSelection(405, 2, 407, 4);
    QTest::keyClick(&e, Qt::Key_Delete);
    Paint(e);
    // The joined line, and the line the deletion brought into view (the
    // other one that moved up had been shown partly and is styled).
    QCOMPARE(h.linesStyled() - before, 2L);
    QCOMPARE(StyleMismatch(e, 400, 400 + static_cast<int>(shown)), QString());

    // Lines above, shown for the first time, are styled then, correctly.
    e.setFirstVisibleLine(100);
    Paint(e);
    QCOMPARE(StyleMismatch(e, 100, 100 + static_cast<int>(shown)), QString());
    // The whole text in one call.
    h.styleLines(0, e.lines() - 1);
    QCOMPARE(StyleMismatch(e, 0, e.lines() - 1), QString());
  }

  // Connection colours: no highlighter, no gutter, the text in the colours
  // given; back to the highlighter restores everything.
  void theTwoLooksSwitchAndRestore() {
    MainWindow& w = openOn({"1:a:connect 'x' ; go\r\nsendln inputstr"});
    QsciScintilla& e = editorOf(w);
    MacroPage& p = page(w);
    const QColor popupPaper = Child<QsciScintilla>(w, "Memo2")->paper();
    Paint(e);
    QVERIFY(p.usesHighlighter());
    QVERIFY(e.lexer() == &p.highlighter());
    QVERIFY(e.marginWidth(0) > 0);
    const QStringList highlighted = LookOf(e);
    QVERIFY2(highlighted.last().contains(QLatin1Char('2')),
             qPrintable(highlighted.last()));  // "connect" is a Key

    p.useConnectionColors(QColor(255, 255, 0), QColor(0, 0, 128));
    Paint(e);
    QVERIFY(!p.usesHighlighter());
    QVERIFY(e.lexer() == nullptr);
    QCOMPARE(e.marginWidth(0), 0);
    QCOMPARE(e.color(), QColor(255, 255, 0));
    QCOMPARE(e.paper(), QColor(0, 0, 128));
    QCOMPARE(Send(e, Sci::SCI_STYLEGETFORE, 0), Rgb(QColor(255, 255, 0)));
    QCOMPARE(Send(e, Sci::SCI_STYLEGETBACK, 0), Rgb(QColor(0, 0, 128)));
    const QStringList coloured = LookOf(e);
    QVERIFY2(coloured.last().count(QLatin1Char('0')) ==
                 coloured.last().size() - QStringLiteral("styles of the first line:").size(),
             qPrintable(coloured.last()));
    // More lines do not bring the gutter back.
    const QString text = e.text();
    e.append(QString(200, QLatin1Char('\n')));
    QCOMPARE(e.marginWidth(0), 0);
    e.setText(text);

    p.useHighlighter(popupPaper);
    Paint(e);
    QCOMPARE(LookOf(e), highlighted);
    p.useConnectionColors(QColor(255, 255, 0), QColor(0, 0, 128));
    Paint(e);
    QCOMPARE(LookOf(e), coloured);
    p.useHighlighter(popupPaper);
    Paint(e);
    QCOMPARE(LookOf(e), highlighted);
    // Another background for the highlighter reaches every style.
    p.useHighlighter(QColor(240, 240, 230));
    for (int style : {0, 1, 2, 3, 4, 5, int(QsciScintillaBase::STYLE_DEFAULT)})
      QCOMPARE(Send(e, Sci::SCI_STYLEGETBACK, style), Rgb(QColor(240, 240, 230)));
  }

  void previewIsHighlighted() {
    MainWindow& w = openOn({"1:a:connect 'x'"});
    QVERIFY(varnok::test::Trigger(w, "MnPreviewBranchMacro"));
    auto* preview = w.findChild<PreviewWindow*>();
    QVERIFY(preview);
    QVERIFY(QTest::qWaitForWindowExposed(preview));
    QTest::qWait(300);  // past the refreshes that follow the command
    QsciScintilla& e = preview->editor();
    QVERIFY(qobject_cast<CvlHighlighter*>(e.lexer()));
    Paint(e);
    const long connect = static_cast<long>(e.text().toUtf8().indexOf("connect"));
    QVERIFY(connect >= 0);
    QCOMPARE(Send(e, Sci::SCI_GETSTYLEAT, connect), long(CvlHighlighter::styleOf(cvl::Attribute::Key)));
    preview->close();
  }

  void endAndHomeToggle() {
    MainWindow& w = openOn({"1:a:x"});
    QsciScintilla& e = editorOf(w);
    e.setFocus();
    e.setText(QStringLiteral("    sendln 'a'   \r\nnext"));
    const auto column = [&e] {
      int line = 0, index = 0;
      e.getCursorPosition(&line, &index);
      return index;
    };
    e.setCursorPosition(0, 6);
    QTest::keyClick(&e, Qt::Key_End);
    QCOMPARE(column(), 14);
    QTest::keyClick(&e, Qt::Key_End);
    QCOMPARE(column(), 17);
    QTest::keyClick(&e, Qt::Key_End);
    QCOMPARE(column(), 14);
    QTest::keyClick(&e, Qt::Key_Home);
    QCOMPARE(column(), 4);
    QTest::keyClick(&e, Qt::Key_Home);
    QCOMPARE(column(), 0);
    QTest::keyClick(&e, Qt::Key_Home);
    QCOMPARE(column(), 4);
    QTest::keyClick(&e, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(e.selectedText(), QStringLiteral("sendln 'a'"));
    QTest::keyClick(&e, Qt::Key_End, Qt::ShiftModifier);
    QCOMPARE(e.selectedText(), QStringLiteral("sendln 'a'   "));
    QTest::keyClick(&e, Qt::Key_Home, Qt::ShiftModifier);
    QVERIFY(!e.hasSelectedText());
    // A line without trailing blanks: End goes to its end at once.
    e.setCursorPosition(1, 0);
    QTest::keyClick(&e, Qt::Key_End);
    QCOMPARE(column(), 4);
    QTest::keyClick(&e, Qt::Key_End);
    QCOMPARE(column(), 4);
  }

  void smartTabsAndSmartTabDeletion() {
    MainWindow& w = openOn({"1:a:x"});
    QsciScintilla& e = editorOf(w);
    e.setFocus();
    e.setText(QStringLiteral("connect 'host'  /ssh\r\n\r\n"));
    e.setCursorPosition(2, 0);  // the blank line between is skipped
    w.connectionPages().setModified(false);
    const auto column = [&e] {
      int line = 0, index = 0;
      e.getCursorPosition(&line, &index);
      return index;
    };
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(column(), 8);
    QCOMPARE(e.text(2), QString(8, QLatin1Char(' ')));
    QVERIFY(w.connectionModified());
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(column(), 16);
    // Past the last word of the line above: the component's tab (blanks to the next stop).
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(column(), 16 + e.tabWidth());
    QVERIFY(!e.text(2).contains(QLatin1Char('\t')));
    // Backspace goes back to the word starts above, then to the line start.
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(column(), 16);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(column(), 8);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(column(), 0);
    QCOMPARE(e.text(2), QString());
    // Inside a word of the line above: to the next word start.
    QTest::keyClicks(&e, QStringLiteral("ab"));
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(column(), 8);
    QTest::keyClicks(&e, QStringLiteral("'a'"));
    QTest::keyClick(&e, Qt::Key_Tab);
    QCOMPARE(column(), 16);
    QCOMPARE(e.text(2), QStringLiteral("ab      'a'     "));
    // Only blanks go: no word start above lies in the blanks before the
    // caret, so Backspace deletes one blank.
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(column(), 15);
    e.setCursorPosition(2, 8);
    QTest::keyClick(&e, Qt::Key_Backspace);
    QCOMPARE(column(), 7);
    QCOMPARE(e.text(2), QStringLiteral("ab     'a'    "));
    // Each smart step is one undo step.
    e.undo();
    QCOMPARE(e.text(2), QStringLiteral("ab      'a'    "));
  }

  void scrollHintWhileTheThumbIsDragged() {
    MainWindow& w = openOn({"1:a:" + NumberedMacro(500).toStdString()});
    QsciScintilla& e = editorOf(w);
    QScrollBar* bar = e.verticalScrollBar();
    QVERIFY(bar->maximum() > 200);
    bar->setSliderDown(true);
    bar->setSliderPosition(200);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Line: 201"));
    bar->setSliderPosition(250);
    QCOMPARE(QToolTip::text(), QStringLiteral("Line: 251"));
    bar->setSliderDown(false);
    QTRY_VERIFY(!QToolTip::isVisible());
    // The program scrolling shows no hint.
    bar->setValue(10);
    QVERIFY(!QToolTip::isVisible());
  }

  void horizontalRangeFollowsTheNewText() {
    MainWindow& w = openOn({"1:long:sendln '" + std::string(400, 'x') + "'", "1:short:exit"});
    QsciScintilla& e = editorOf(w);
    Paint(e);
    const long wide = Send(e, Sci::SCI_GETSCROLLWIDTH);
    QVERIFY2(wide > 400 * 5, qPrintable(QString::number(wide)));
    w.treeView().setFocus();
    w.selectNode(w.tree().top()->child(1));
    QTest::qWait(0);
    w.refreshCommands();
    Paint(e);
    QCOMPARE(e.text(), QStringLiteral("exit"));
    QVERIFY2(Send(e, Sci::SCI_GETSCROLLWIDTH) < 200,
             qPrintable(QString::number(Send(e, Sci::SCI_GETSCROLLWIDTH))));
  }
};

QTEST_MAIN(MacroEditorTest)
#include "macro_editor_test.moc"
