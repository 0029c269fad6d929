// The emulator folder on the Settings page: its field, Browse and Default,
// what it accepts, that it is saved with the settings, and that a run looks
// for the emulator where it says.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "pages/emulator_folder_field.h"
#include "pages/settings_page.h"
#include "window/main_window.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::Child;
using varnok::test::WindowFixture;

class EmulatorFolderTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;

  std::string emulatorFolder() const { return f->dir.file("corvane"); }
  // Types `text` into the field and leaves it, as the user does.
  static void type(MainWindow& w, const QString& text) {
    auto* field = Child<QLineEdit>(w, "EditEmulatorDir");
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    emit field->editingFinished();
  }
  static QString status(MainWindow& w) { return Child<QLabel>(w, "LblEmulatorDir")->text(); }
  static bool defaultEnabled(MainWindow& w) {
    return Child<QPushButton>(w, "BtnEmulatorDirDefault")->isEnabled();
  }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    std::filesystem::create_directories(emulatorFolder());
    test::WriteFile(emulatorFolder() + "/corvmain", "");
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  // Empty means the program folder; a relative path is refused; a full
  // path is taken without its trailing "/"; Default is enabled only while
  // a folder is set.
  void fieldAcceptsFullPathsAndDefaultReturnsToTheProgramFolder() {
    MainWindow& w = f->open();
    const QString program = QString::fromStdString(f->programDir);
    auto* field = Child<QLineEdit>(w, "EditEmulatorDir");
    QCOMPARE(field->text(), QString());
    QVERIFY(field->toolTip().endsWith(program));
    QCOMPARE(status(w), QStringLiteral("No corvmain in %1: runs cannot start.").arg(program));
    QVERIFY(!defaultEnabled(w));

    type(w, QStringLiteral("corvane"));
    QCOMPARE(field->text(), QString());
    QCOMPARE(status(w), QStringLiteral("'corvane' is not a full path: enter one that begins with '/'."));
    QCOMPARE(Child<SettingsPage>(w, "TabSheet1")->emulatorDir(), std::string());
    QVERIFY(!defaultEnabled(w));

    type(w, QString::fromStdString(emulatorFolder() + "/"));
    QCOMPARE(field->text().toStdString(), emulatorFolder());
    QCOMPARE(Child<SettingsPage>(w, "TabSheet1")->emulatorDir(), emulatorFolder());
    QCOMPARE(status(w).toStdString(), "Emulator found: " + emulatorFolder() + "/corvmain");
    QVERIFY(defaultEnabled(w));

    Child<QPushButton>(w, "BtnEmulatorDirDefault")->click();
    QCOMPARE(field->text(), QString());
    QCOMPARE(Child<SettingsPage>(w, "TabSheet1")->emulatorDir(), std::string());
    QVERIFY(!defaultEnabled(w));
  }

  void browseStartsAtTheFolderInUseAndCancelKeepsIt() {
    MainWindow& w = f->open();
    f->dialogs.expectFolder(emulatorFolder());
    Child<QPushButton>(w, "BtnEmulatorDir")->click();
    QCOMPARE(Child<SettingsPage>(w, "TabSheet1")->emulatorDir(), emulatorFolder());
    QCOMPARE(f->dialogs.requests().back().title, std::string("Emulator folder"));
    QCOMPARE(f->dialogs.requests().back().fileName, f->programDir);

    f->dialogs.expectFolder(std::nullopt);
    Child<QPushButton>(w, "BtnEmulatorDir")->click();
    QCOMPARE(f->dialogs.requests().back().fileName, emulatorFolder());
    QCOMPARE(Child<SettingsPage>(w, "TabSheet1")->emulatorDir(), emulatorFolder());
  }

  void savedWithTheSettingsAndShownAgain() {
    MainWindow& w = f->open();
    type(w, QString::fromStdString(emulatorFolder()));
    w.saveSettings();
    QVERIFY(test::ReadFile(f->settingsPath()).find("EmulatorDir=" + emulatorFolder()) != std::string::npos);
    MainWindow& again = f->open();
    QCOMPARE(Child<QLineEdit>(again, "EditEmulatorDir")->text().toStdString(), emulatorFolder());
  }

  // A run looks for the emulator in the folder the field holds now, and
  // names it when it is not there.
  void runLooksInTheFolderTheFieldHolds() {
    MainWindow& w = f->openActiveOn({"1:Lab:send x"});
    const std::string empty = f->dir.file("empty");
    std::filesystem::create_directories(empty);
    type(w, QString::fromStdString(empty));
    w.treeView().setFocus();
    w.selectNode(w.tree().top()->child(0));
    w.refreshCommands();
    f->prompter.expect(PromptKind::Error, PromptButtons::OK,
                       "CORVMAIN not found in " + empty + ".\rSet the emulator folder on the Settings page.",
                       PromptAnswer::OK);
    QVERIFY(test::Trigger(w, "BtnRun"));
    QVERIFY(!std::filesystem::exists(f->programDir + "/Temp_CVL/~macroC1.cvl"));
  }
};

QTEST_MAIN(EmulatorFolderTest)
#include "emulator_folder_test.moc"
