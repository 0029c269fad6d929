// The Help menu: the emulator's two help files through the desktop's opener
// (or their messages when missing), the About window and the licence window.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "dialogs/about_window.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using varnok::test::WindowFixture;

class HelpAboutTest : public QObject {
  Q_OBJECT
  std::unique_ptr<WindowFixture> f;
  std::vector<std::string> opened;

  MainWindow& open() {
    WindowServices services;
    services.openDocument = [this](const std::string& path) {
      opened.push_back(path);
      return platform::LaunchResult{true, {}};
    };
    return f->openActive(services);
  }
  void trigger(MainWindow& w, const char* name) { QVERIFY2(test::Trigger(w, name), name); }

 private slots:
  void init() {
    f = std::make_unique<WindowFixture>();
    opened.clear();
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
  }

  void helpFilesOpenOrAreReportedMissing() {
    MainWindow& w = open();
    f->prompter.expect(PromptKind::Error, PromptButtons::OK, "Corvane help file 'corvhelp.hlp' not found.",
                       PromptAnswer::OK);
    trigger(w, "MnCorvaneHelp");
    f->prompter.expect(PromptKind::Error, PromptButtons::OK, "Corvane macro help file 'macro.hlp' not found.",
                       PromptAnswer::OK);
    trigger(w, "MnMacroHelp");
    QVERIFY(opened.empty());
    std::filesystem::create_directories(f->programDir);
    std::ofstream(f->programDir + "/macro.hlp") << "help";
    trigger(w, "MnMacroHelp");
    QCOMPARE(opened, std::vector<std::string>{f->programDir + "/macro.hlp"});
  }

  void versionLineReadsTheVersion() {
    QCOMPARE(VersionLine("2.4.2.0"), QStringLiteral("Version 2.4  (Release 2)"));
    QCOMPARE(VersionLine("1.0.0"), QStringLiteral("Version 1.0  (Release 0)"));
    QCOMPARE(VersionLine("garbage"), QStringLiteral("Version 99999.99999  (Release 0)"));
  }

  // About shows the version and build lines and the credits; the licence
  // window closes on any key.
  void aboutAndLicenceWindows() {
    MainWindow& w = open();
    QString version, build, credits;
    QTimer::singleShot(100, [&] {
      auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(about);
      QCOMPARE(about->windowTitle(), QStringLiteral("About Varnok"));
      version = about->findChild<QLabel*>(QStringLiteral("VersionLabel"))->text();
      build = about->findChild<QLabel*>(QStringLiteral("BuildLabel"))->text();
      credits = about->findChild<QLabel*>(QStringLiteral("CreditsLabel"))->text();
      // Links are underlined only while the mouse is over them; a click opens them.
      for (const char* name : {"ProductLink", "ForumLink", "MakerLink", "LicenseLink"}) {
        auto* link = about->findChild<QLabel*>(QLatin1String(name));
        QVERIFY2(link, name);
        QVERIFY2(!link->font().underline(), name);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(link, &enter);
        QVERIFY2(link->font().underline(), name);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        QVERIFY2(!link->font().underline(), name);
      }
      QTest::mouseClick(about->findChild<QLabel*>(QStringLiteral("ForumLink")), Qt::LeftButton);
      about->accept();
    });
    trigger(w, "MnAbout");
    QVERIFY(version.startsWith(QStringLiteral("Version ")));
    QCOMPARE(build, QStringLiteral("Build: 29-Mar-2005."));
    QVERIFY(credits.contains(QStringLiteral("QScintilla")) && credits.contains(QStringLiteral("Qt 6")));
    QCOMPARE(opened.size(), std::size_t(1));
    QVERIFY(opened.front().find("forum") != std::string::npos);
    QCOMPARE(w.findChild<QAction*>(QStringLiteral("MnMacroHelp"))->toolTip(),
             QStringLiteral("Corvane Macro Language Reference"));

    bool closedByKey = false;
    QTimer::singleShot(100, [&] {
      QWidget* licence = QApplication::activeModalWidget();
      QVERIFY(licence);
      QCOMPARE(licence->windowTitle(), QStringLiteral("FREEWARE LICENSE AGREEMENT"));
      QTest::keyClick(licence, Qt::Key_A);
      closedByKey = !licence->isVisible();
    });
    trigger(w, "MnLicense");
    QVERIFY(closedByKey);
  }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
