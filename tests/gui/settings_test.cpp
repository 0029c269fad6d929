// Settings through the real window: written in order, read back, letter
// case of names, wrong types, geometry clamping, the settings page's
// controls, the stored selection and the file handed over at start.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "common/program_paths.h"
#include "files/vnk_file.h"
#include "pages/app_settings.h"
#include "pages/settings_page.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

namespace {

QRect WorkArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

 private slots:
  void init() { f = std::make_unique<WindowFixture>(); }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void defaultsWithoutKey() {
    MainWindow& w = f->open();
    QCOMPARE(w.geometry().topLeft(), QPoint(267, 130));
    QCOMPARE(w.size(), QSize(648, 490));
    QVERIFY(Child<QCheckBox>(w, "cbSelectLast")->isChecked());
    QVERIFY(Child<QCheckBox>(w, "cbAutoSave")->isChecked());
    QVERIFY(Child<QCheckBox>(w, "cbUseColorInEditor")->isChecked());
    QVERIFY(Child<QCheckBox>(w, "cbSameBackground")->isChecked());
    QVERIFY(!Child<QCheckBox>(w, "cbNoColors")->isChecked());
    QVERIFY(!Child<QCheckBox>(w, "cbDoNotTile")->isChecked());
    QCOMPARE(Child<QSpinBox>(w, "seDelay")->value(), 5);
    QCOMPARE(Child<QComboBox>(w, "cbDblClick")->currentIndex(), 0);
    QCOMPARE(Child<QComboBox>(w, "cbDblClick")->count(), 6);
    QCOMPARE(Child<QCheckBox>(w, "cbAssociate")->text(),
             QStringLiteral("Associate extention VNK with Varnok"));
    // The Settings page shows while the tree is empty.
    QCOMPARE(Child<QTabWidget>(w, "PG")->currentIndex(), 0);
  }

  void writtenInOrderAndReadBack() {
    MainWindow& w = f->open();
    Child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("Ann Smith"));
    Child<QLineEdit>(w, "Edit2")->setText(QStringLiteral("ann@example.org"));
    Child<QLineEdit>(w, "Edit3")->setText(QStringLiteral("+1 555"));
    Child<QSpinBox>(w, "seDelay")->setValue(12);
    Child<QCheckBox>(w, "cbSelectLast")->setChecked(false);
    Child<QCheckBox>(w, "cbDoNotTile")->setChecked(true);
    Child<QCheckBox>(w, "cbNoColors")->setChecked(true);
    Child<QCheckBox>(w, "cbAutoSave")->setChecked(false);
    Child<QComboBox>(w, "cbDblClick")->setCurrentIndex(3);
    w.saveSettings();

    const std::string text = test::ReadFile(f->settingsPath());
    const char* order[] = {
        "VarName",      "VarEmail",          "VarPhone",          "MultiStartInterval", "SelectedNodeIndex",
        "SelectLast",   "UseColorsInEditor", "UseSameBackGround", "AutoSave",           "LastVNKFile",
        "WinTop",       "WinLeft",           "WinWidth",          "WinHeight",          "TreeWidth",
        "WinMaximized", "DoNotTile",         "NoColors",          "DblClickAction"};
    std::size_t at = 0;
    for (const char* name : order) {
      const std::size_t found = text.find(std::string("\n") + name + "=", at);
      QVERIFY2(found != std::string::npos, name);
      at = found;
    }
    QCOMPARE(f->settings().readString("MultiStartInterval", ""), std::string("12"));
    QCOMPARE(f->settings().readInt("DblClickAction", -1), 3);
    QCOMPARE(f->settings().readInt("WinWidth", 0), 648);
    QCOMPARE(f->settings().readInt("TreeWidth", 0), w.treeView().width());

    MainWindow& again = f->open();
    QCOMPARE(Child<QLineEdit>(again, "Edit1")->text(), QStringLiteral("Ann Smith"));
    QCOMPARE(Child<QLineEdit>(again, "Edit3")->text(), QStringLiteral("+1 555"));
    QCOMPARE(Child<QSpinBox>(again, "seDelay")->value(), 12);
    QVERIFY(!Child<QCheckBox>(again, "cbSelectLast")->isChecked());
    QVERIFY(Child<QCheckBox>(again, "cbDoNotTile")->isChecked());
    QVERIFY(Child<QCheckBox>(again, "cbNoColors")->isChecked());
    QVERIFY(!Child<QCheckBox>(again, "cbUseColorInEditor")->isEnabled());
    QVERIFY(!Child<QCheckBox>(again, "cbAutoSave")->isChecked());
    QCOMPARE(Child<QComboBox>(again, "cbDblClick")->currentIndex(), 3);
  }

  // Another program holds the settings lock: the close waits 2 s at most,
  // warns, leaves the settings unsaved and still saves the document.
  void closeWithTheSettingsLockHeldWarnsAndLosesNothingElse() {
    MainWindow& w = f->openActiveOn({"1:Router:connect"});
    const std::string vnk = f->dir.file("T.vnk");
    const std::string other = f->dir.file("Other.vnk");
    test::WriteVnk(other, {"1:Imported:x"});
    w.importHandedOverFile(other);
    QVERIFY(w.isDocumentModified());
    Child<QLineEdit>(w, "Edit1")->setText(QStringLiteral("Bob"));
    const std::string before = test::ReadFile(f->settingsPath());
    int lock = ::open((f->settingsPath() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
    f->prompter.expect(PromptKind::Warning, PromptButtons::OK,
                       "The settings cannot be saved: " + f->settingsPath() +
                           ".lock: another program has held the settings lock for more than 2 seconds; the "
                           "settings were not saved",
                       PromptAnswer::OK);
    QVERIFY(w.close());
    f->destroy();  // the recent files go back to the key: tried once, not waited for
    ::close(lock);
    QCOMPARE(test::ReadFile(f->settingsPath()), before);
    ConnectionTree saved;
    QVERIFY(LoadConfiguration(saved, vnk, false).ok());
    QCOMPARE(saved.count(), 3);
  }

  void namesIgnoreLetterCaseAndWrongTypesGiveDefaults() {
    f->settings().write({{"usesamebackground", 0},
                         {"VARNAME", std::string("Zed")},
                         {"WinWidth", std::string("wide")},
                         {"SelectLast", std::string("yes")},
                         {"MultiStartInterval", std::string()},
                         {"DblClickAction", 9}});
    MainWindow& w = f->open();
    QVERIFY(!Child<QCheckBox>(w, "cbSameBackground")->isChecked());
    QCOMPARE(Child<QLineEdit>(w, "Edit1")->text(), QStringLiteral("Zed"));
    QCOMPARE(w.width(), 640);  // the minimum width, the default of a bad value
    QVERIFY(Child<QCheckBox>(w, "cbSelectLast")->isChecked());
    QCOMPARE(Child<QSpinBox>(w, "seDelay")->value(), 5);
    QCOMPARE(Child<QComboBox>(w, "cbDblClick")->currentIndex(), 0);
    w.saveSettings();
    // Written under another letter case, the same value; the bad one is replaced.
    QCOMPARE(f->settings().readInt("UseSameBackground", -1), 0);
    QCOMPARE(f->settings().readInt("WINWIDTH", -1), 640);
    QCOMPARE(f->settings().readInt("SelectLast", -1), 1);
  }

  void geometryIsClampedToWorkArea() {
    const QRect area = WorkArea();
    f->settings().write({{"WinTop", 5000}, {"WinLeft", -5000}, {"WinWidth", 700}, {"WinHeight", 500}});
    MainWindow& w = f->open();
    QCOMPARE(w.y(), area.top() + area.height() - 50);
    QCOMPARE(w.x(), area.left() - 648 + 50);  // the window's width when the settings were read
    QCOMPARE(w.size(), QSize(700, 500));

    f->settings().write({{"WinTop", -300}, {"WinLeft", 99999}});
    MainWindow& again = f->open();
    QCOMPARE(again.y(), area.top());
    QCOMPARE(again.x(), area.left() + area.width() - 50);

    IntRect clamped = ClampToWorkArea({100, 5000, 640, 490}, {0, 0, 1024, 768}, 640);
    QCOMPARE(clamped.top, 718);
    clamped = ClampToWorkArea({-2000, 10, 640, 490}, {0, 0, 1024, 768}, 640);
    QCOMPARE(clamped.left, -590);
    QCOMPARE(clamped.left + 640, 50);
  }

  void runDelayEditorRule() {
    MainWindow& w = f->open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* spin = Child<QSpinBox>(w, "seDelay");
    const struct {
      const char* typed;
      int value;
    } cases[] = {{"abc", 5}, {"99", 60}, {"1", 2}, {"17", 17}, {"", 5}};
    for (const auto& c : cases) {
      spin->setFocus();
      auto* edit = spin->findChild<QLineEdit*>();
      edit->selectAll();
      edit->setText(QString::fromLatin1(c.typed));
      Child<QLineEdit>(w, "Edit1")->setFocus();  // leaving the editor applies the rule
      QCOMPARE(spin->value(), c.value);
      QCOMPARE(spin->text(), QString::number(c.value));
    }
    QCOMPARE(RunDelaySeconds("7x"), 5);
    QCOMPARE(RunDelaySeconds(" 8 "), 8);
  }

  void sixthDoubleClickActionOnlyWhereTheScreenCanBeLocked() {
    f->settings().writeInt("DblClickAction", 5);
    WindowServices services;
    services.screenLockAvailable = false;
    MainWindow& w = f->open(services);
    QCOMPARE(Child<QComboBox>(w, "cbDblClick")->count(), 5);
    QCOMPARE(Child<QComboBox>(w, "cbDblClick")->currentIndex(), 0);
    MainWindow& nt = f->open();
    QCOMPARE(Child<QComboBox>(nt, "cbDblClick")->currentIndex(), 5);
  }

  void storedSelectionAndLastFile() {
    const std::string file = f->dir.file("Sites.vnk");
    test::WriteVnk(file, {"1:alpha:a", "2:alpha-db:b", "1:beta:c"});
    f->settings().write({{"LastVNKFile", file}, {"SelectedNodeIndex", 2}});
    MainWindow& w = f->open();
    QCOMPARE(w.currentFile(), file);
    QCOMPARE(std::string(w.focusedNode()->name()), std::string("alpha-db"));
    QVERIFY(w.treeView().isExpanded(w.treeModel().indexOf(w.tree().top()->child(0))));
    QCOMPARE(Child<QTabWidget>(w, "PG")->currentIndex(), 1);  // "Macro" once there are connections
    w.saveSettings();
    QCOMPARE(f->settings().readInt("SelectedNodeIndex", -1), 2);

    // Not used when started with a file parameter.
    WindowServices services;
    services.hasCommandLineParameter = true;
    MainWindow& withParam = f->open(services);
    QCOMPARE(withParam.focusedNode(), withParam.tree().top());

    // A last file that is gone is forgotten.
    f->settings().write({{"LastVNKFile", f->dir.file("Gone.vnk")}});
    MainWindow& gone = f->open();
    QVERIFY(gone.currentFile().empty());
    gone.saveSettings();
    QCOMPARE(f->settings().readString("LastVNKFile", "?"), std::string());
  }

  void fileHandedOverAtStart() {
    const std::string last = f->dir.file("Last.vnk");
    const std::string handed = f->dir.file("~Handed.vnk");
    test::WriteVnk(last, {"1:home:"});
    test::WriteVnk(handed, {"1:new one:", "1:new two:"});

    // With a last file: that opens, and the import is offered after 500 ms.
    f->settings().write({{"LastVNKFile", last}, {"ParamName", handed}});
    f->prompter.expect(PromptKind::Confirmation, PromptButtons::YesNo,
                       "Do you want to import file " + DisplayName(handed) + " into Varnokc?",
                       PromptAnswer::Yes);
    WindowServices services;
    services.hasCommandLineParameter = true;
    MainWindow& w = f->open(services);
    QCOMPARE(w.currentFile(), last);
    QCOMPARE(w.tree().top()->childCount(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(w.tree().top()->childCount(), 3, 3000);
    QVERIFY(w.isDocumentModified());
    QCOMPARE(f->settings().readString("ParamName", "?"), std::string());

    // Without a last file the handed-over file becomes the document.
    f->settings().write({{"LastVNKFile", std::string()}, {"ParamName", handed}});
    MainWindow& second = f->open(services);
    QCOMPARE(second.currentFile(), handed);
    QCOMPARE(second.tree().top()->childCount(), 2);
    QCOMPARE(f->settings().readString("ParamName", "?"), std::string());
    QTest::qWait(600);  // no question follows
  }

  void registrationsFollowTheBoxes() {
    MainWindow& w = f->open();
    auto* logOn = Child<QCheckBox>(w, "cbRunAtLogOn");
    auto* associate = Child<QCheckBox>(w, "cbAssociate");
    QVERIFY(!logOn->isChecked());
    QVERIFY(!associate->isChecked());
    logOn->click();
    const std::string autostart = f->dir.path() + "/config/autostart/Varnok.desktop";
    QVERIFY(test::ReadFile(autostart).find("Exec=\"" + ProgramFilePath(f->programDir, "varnok") + "\"") !=
            std::string::npos);

    // Another letter case of the companion's path does not count.
    std::string upper = ProgramFilePath(f->programDir, "VARNOK");
    test::WriteFile(autostart, "[Desktop Entry]\nExec=\"" + upper + "\"\n");
    QVERIFY(!f->open().findChild<QCheckBox*>(QStringLiteral("cbRunAtLogOn"))->isChecked());

    // The association, replacing and then restoring another one.
    test::WriteFile(f->dir.path() + "/config/mimeapps.list",
                    "[Default Applications]\napplication/x-varnok=other.desktop\n");
    MainWindow& again = f->open();
    Child<QCheckBox>(again, "cbAssociate")->click();
    QVERIFY(f->open().findChild<QCheckBox*>(QStringLiteral("cbAssociate"))->isChecked());
    QVERIFY(test::ReadFile(f->dir.path() + "/data/mime/packages/x-varnok.xml").find("*.vnk") !=
            std::string::npos);
    Child<QCheckBox>(f->window(), "cbAssociate")->click();
    QCOMPARE(test::ReadFile(f->dir.path() + "/config/mimeapps.list"),
             std::string("[Default Applications]\napplication/x-varnok=other.desktop\n"));
    QVERIFY(!f->open().findChild<QCheckBox*>(QStringLiteral("cbAssociate"))->isChecked());
  }

  void shrinkingNarrowsTreeBeforePages() {
    MainWindow& w = f->open();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* splitter = Child<QSplitter>(w, "Splitter1");
    auto* pg = Child<QTabWidget>(w, "PG");
    w.resize(900, 500);
    QTest::qWait(0);
    const int handle = splitter->handleWidth();
    // Pages at their minimum, the tree takes the rest.
    splitter->setSizes({splitter->width() - handle - 350, 350});
    QTest::qWait(0);
    QCOMPARE(pg->width(), 350);
    const int treeBefore = w.treeView().width();
    QVERIFY(treeBefore > 300);
    w.resize(w.width() - 60, 500);
    QTest::qWait(0);
    QCOMPARE(pg->width(), 350);
    QCOMPARE(w.treeView().width(), treeBefore - 60);
    w.resize(640, 500);
    QTest::qWait(0);
    QCOMPARE(w.treeView().width(), std::max(215, splitter->width() - handle - 350));
    QVERIFY(w.treeView().width() >= 215);
    // The splitter keeps 275 pixels from the left edge when dragged.
    w.resize(1000, 500);
    QTest::qWait(0);
    splitter->setSizes({100, splitter->width() - handle - 100});
    emit splitter->splitterMoved(100, 1);
    QCOMPARE(w.treeView().width(), 275);
  }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
