// The editors' change notices while no assistive tool listens: the component's
// own after-change notices are off, and the editor still reports every change
// after it is made, with the lines it added, to the same signals; with a tool
// active the component reports them itself again.
#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QTest>
#include <vector>

#include "editor/editor_setup.h"
#include "editor/text_change_notices.h"

using namespace varnok;
using namespace varnok::app;

namespace {

using Sci = QsciScintillaBase;

// One after-change notice as a listener saw it.
struct Notice {
  int kind;  // SC_MOD_INSERTTEXT or SC_MOD_DELETETEXT
  int position;
  int length;
  int linesAdded;
  int lengthThen;  // the text's length when the notice came
  bool operator==(const Notice&) const = default;
};

// A shown, focused macro editor and the notices it sends.
struct WatchedEditor {
  QWidget window;
  QsciScintilla* editor;
  std::vector<Notice> notices;
  std::vector<QString> textsAtTextChanged;

  WatchedEditor() {
    editor = new QsciScintilla(&window);
    ConfigureMacroEditor(*editor, 10);
    window.resize(400, 300);
    editor->resize(400, 300);
    window.show();
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    editor->setFocus();
    QObject::connect(
        editor, &Sci::SCN_MODIFIED,
        [this](int position, int type, const char*, int length, int added, int, int, int, int, int) {
          const int kind = type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT);
          if (kind) notices.push_back({kind, position, length, added, editor->length()});
        });
    QObject::connect(editor, &QsciScintilla::textChanged,
                     [this] { textsAtTextChanged.push_back(editor->text()); });
  }
  long mask() const { return editor->SendScintilla(Sci::SCI_GETMODEVENTMASK); }
  void reset() {
    notices.clear();
    textsAtTextChanged.clear();
  }
};

constexpr int kInsert = Sci::SC_MOD_INSERTTEXT;
constexpr int kDelete = Sci::SC_MOD_DELETETEXT;

}  // namespace

class EditorChangeNoticesTest : public QObject {
  Q_OBJECT

 private slots:
  // Keys, a programmatic text and undo: one notice per change, after it, with
  // the lines it added; textChanged sees the changed text.
  void quietEditorReportsEachChangeAfterItIsMade() {
    WatchedEditor w;
    QVERIFY(!QAccessible::isActive());
    QCOMPARE(w.mask() & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT), 0L);

    QTest::keyClick(w.editor, Qt::Key_A);
    QCOMPARE(w.notices, (std::vector<Notice>{{kInsert, 0, 1, 0, 1}}));
    QCOMPARE(w.textsAtTextChanged, (std::vector<QString>{QStringLiteral("a")}));

    w.reset();
    QTest::keyClick(w.editor, Qt::Key_Return);  // CR LF
    QTest::keyClick(w.editor, Qt::Key_B);
    QCOMPARE(w.notices, (std::vector<Notice>{{kInsert, 1, 2, 1, 3}, {kInsert, 3, 1, 0, 4}}));
    QCOMPARE(w.textsAtTextChanged.back(), QStringLiteral("a\r\nb"));

    w.reset();
    QTest::keyClick(w.editor, Qt::Key_Backspace);
    QTest::keyClick(w.editor, Qt::Key_Backspace);  // the line break, both bytes
    QCOMPARE(w.notices, (std::vector<Notice>{{kDelete, 3, 1, 0, 3}, {kDelete, 1, 2, -1, 1}}));

    // A new text: the old one deleted, then the new one inserted, each
    // reported before the caller goes on.
    w.reset();
    w.editor->setText(QStringLiteral("x\r\ny\r\nz"));
    FlushTextChanges(*w.editor);
    QCOMPARE(w.notices, (std::vector<Notice>{{kDelete, 0, 1, 0, 0}, {kInsert, 0, 7, 2, 7}}));
    QCOMPARE(w.textsAtTextChanged.back(), QStringLiteral("x\r\ny\r\nz"));

    // Undo of a selection replaced by typing: each step in order.
    w.reset();
    w.editor->setSelection(0, 0, 2, 0);
    QTest::keyClick(w.editor, Qt::Key_Q);
    QCOMPARE(w.notices, (std::vector<Notice>{{kDelete, 0, 6, -2, 1}, {kInsert, 0, 1, 0, 2}}));
    w.reset();
    w.editor->undo();
    FlushTextChanges(*w.editor);
    QCOMPARE(w.notices, (std::vector<Notice>{{kDelete, 0, 1, 0, 1}, {kInsert, 0, 6, 2, 7}}));
    QCOMPARE(w.editor->text(), QStringLiteral("x\r\ny\r\nz"));
  }

  // A change made outside any event of the editor is reported when the
  // event loop comes round; the focus leaving reports it while the editor
  // still has the focus.
  void pendingChangesReachTheirListeners() {
    WatchedEditor w;
    w.editor->SendScintilla(Sci::SCI_APPENDTEXT, 2UL, "hi");
    QVERIFY(w.notices.empty());
    QTRY_COMPARE(w.notices.size(), std::size_t{1});

    bool focusedThen = false;
    QObject::connect(w.editor, &QsciScintilla::textChanged, [&] { focusedThen = w.editor->hasFocus(); });
    QTest::keyPress(w.editor, Qt::Key_C);  // no release
    QWidget other(&w.window);
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.setFocus();
    QCOMPARE(w.notices.size(), std::size_t{2});
    QVERIFY(focusedThen);
  }

  // An editor destroyed with a change not yet reported sends nothing: its
  // listeners may be gone.
  void destroyedEditorSendsNothing() {
    int texts = 0;
    {
      WatchedEditor w;
      QObject::connect(w.editor, &QsciScintilla::textChanged, [&] { ++texts; });
      w.editor->SendScintilla(Sci::SCI_APPENDTEXT, 1UL, "x");
      delete w.editor;
    }
    QCoreApplication::processEvents();
    QCOMPARE(texts, 0);
  }

  // With an assistive tool active the component reports changes itself (and
  // gives the tool its text events); without, the editor again.
  void anAssistiveToolGetsTheComponentsOwnNotices() {
    WatchedEditor w;
    QAccessible::setActive(true);
    QCOMPARE(w.mask(), static_cast<long>(Sci::SC_MODEVENTMASKALL));
    w.editor->SendScintilla(Sci::SCI_APPENDTEXT, 2UL, "ab");
    QCOMPARE(w.notices, (std::vector<Notice>{{kInsert, 0, 2, 0, 2}}));  // at once, from the component
    QAccessible::setActive(false);
    QCOMPARE(w.mask() & Sci::SC_MOD_INSERTTEXT, 0L);
    QTest::keyClick(w.editor, Qt::Key_C);
    QCOMPARE(w.notices.size(), std::size_t{2});
    QCOMPARE(w.notices.back(), (Notice{kInsert, 0, 1, 0, 3}));  // the caret stayed at the start
  }
};

QTEST_MAIN(EditorChangeNoticesTest)
#include "editor_change_notices_test.moc"
