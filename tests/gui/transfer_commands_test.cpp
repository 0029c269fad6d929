// Connections and macros between files through the window's commands and
// the scripted file dialogs: export with the parent chain question, import
// with renamed namesakes as one undoable step, macro import and export.
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QTest>
#include <QTreeView>
#include <fstream>

#include "files/import_export.h"
#include "files/vnk_file.h"
#include "platform/safe_write.h"
#include "program_dir.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class TransferCommandsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  MainWindow& open(const std::vector<std::string>& entries, WindowServices services = {}) {
    services.dialogs = &f->dialogs;
    return f->openActiveOn(entries, services);
  }
  void focusNode(MainWindow& w, TreeNode* node) {
    w.treeView().setFocus();
    w.selectNode(node);
  }
  void trigger(MainWindow& w, const char* name) { QVERIFY2(test::Trigger(w, name), name); }
  static std::vector<std::string> names(const std::string& path) {
    ConnectionTree tree;
    LoadConfiguration(tree, path, false);
    std::vector<std::string> out;
    for (TreeNode* n = ConnectionTree::next(tree.top()); n; n = ConnectionTree::next(n))
      out.push_back(std::to_string(n->data().Level) + ":" + std::string(n->name()));
    return out;
  }

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // A connection at depth 3 goes out with its parents after one question;
  // a name ending in .plf gets the text format.
  void exportTakesTheParentChain() {
    MainWindow& w = open({"1:site:", "2:rack:", "3:switch:s", "1:other:"});
    TreeNode* sw = w.tree().top()->child(0)->child(0)->child(0);
    focusNode(w, sw);
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OKCancel,
        "Connection can be exported only together with all parent connections it has.\rPress Ok "
        "to automatically expand your selection.",
        PromptAnswer::OK);
    const std::string out = f->dir.file("out.vnk");
    f->dialogs.expectSave(out);
    trigger(w, "MnExportConnection");
    QCOMPARE(f->dialogs.requests().back().title, std::string("Export selected connections to file"));
    QCOMPARE(names(out), (std::vector<std::string>{"1:site", "2:rack", "3:switch"}));

    // Cancel: no dialog, nothing written.
    focusNode(w, sw);
    f->prompter.expect(
        PromptKind::Warning, PromptButtons::OKCancel,
        "Connection can be exported only together with all parent connections it has.\rPress Ok "
        "to automatically expand your selection.",
        PromptAnswer::Cancel);
    trigger(w, "MnExportConnection");
    QCOMPARE(f->dialogs.requests().size(), std::size_t(1));

    focusNode(w, w.tree().top()->child(1));
    const std::string plf = f->dir.file("out.PlF");
    f->dialogs.expectSave(plf);
    trigger(w, "MnExportConnection");
    std::string bytes;
    QVERIFY(platform::ReadWholeFile(plf, bytes).ok);
    QVERIFY(bytes.find("[PLF]") != std::string::npos);
    QVERIFY(bytes.find("C1_R1=other") != std::string::npos);
  }

  // Import renames namesakes, says so, and one "Undo tree change" takes it all back.
  void importIsOneUndoableStep() {
    MainWindow& w = open({"1:home:h"});
    const std::string before = WriteConfiguration(w.tree());
    const std::string extra = f->dir.file("extra.vnk");
    test::WriteVnk(extra, {"1:home:x", "2:kid:y", "1:lab:z"});
    focusNode(w, w.tree().top());
    f->dialogs.expectOpen(extra);
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "1 imported item was renamed to avoid duplicate names among siblings.",
                       PromptAnswer::OK);
    trigger(w, "MnImportConnection");
    QCOMPARE(f->dialogs.requests().back().title, std::string("Import connections from file"));
    QCOMPARE(w.tree().top()->childCount(), 3);
    QCOMPARE(std::string(w.tree().top()->child(1)->name()), std::string("Copy of home"));
    QVERIFY(w.isDocumentModified());
    trigger(w, "MnUndoTreeChange");
    QCOMPARE(WriteConfiguration(w.tree()), before);
    w.document().setModified(false);
  }

  // Macro import fills the editor (unapplied); export writes what Run branch would.
  void macroImportAndExport() {
    test::ProgramDir programs({"corvmain"});
    WindowServices services;
    services.programDir = programs.path();
    MainWindow& w = open({"1:jump:connect jump", "2:router:old"}, services);
    TreeNode* router = w.tree().top()->child(0)->child(0);
    focusNode(w, router);
    w.refreshCommands();
    const std::string cvl = f->dir.file("in.cvl");
    std::ofstream(cvl) << "sendln 'new'\r\nwait '#'\r\n";
    f->dialogs.expectOpen(cvl);
    trigger(w, "MnImportMacro");
    auto* macro = Child<QsciScintilla>(w, "Memo1");
    QCOMPARE(macro->text(), QStringLiteral("sendln 'new'\r\nwait '#'\r\n"));
    QVERIFY(w.connectionModified());

    const std::string out = f->dir.file("out.cvl");
    f->dialogs.expectSave(out);
    trigger(w, "MnExportMacro");
    std::string bytes;
    QVERIFY(platform::ReadWholeFile(out, bytes).ok);
    QVERIFY2(bytes.starts_with("connect jump\r\nsendln 'new'\r\nwait '#'\r\n"), bytes.c_str());
    // The next export offers the same file again; the first offered none.
    f->dialogs.expectSave(std::nullopt);
    trigger(w, "MnExportMacro");
    const auto& asked = f->dialogs.requests();
    QCOMPARE(asked[asked.size() - 2].fileName, std::string());
    QCOMPARE(asked.back().fileName, out);
    w.connectionPages().setModified(false);
  }
};

QTEST_MAIN(TransferCommandsTest)
#include "transfer_commands_test.moc"
