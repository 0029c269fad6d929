// "Run all selected" tiles the emulators it started, also those whose windows
// appear late, on a fake desktop: each started emulator's window shows up a
// while after the tiling began and, like a fresh window under some window
// managers, soon gives itself its own size once.
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTreeView>
#include <map>

#include "platform/desktop_windows.h"
#include "recording_emulator_qt.h"
#include "tree/tree_model.h"
#include "window_fixture_qt.h"

using namespace varnok;
using namespace varnok::app;
using platform::WindowRect;
using varnok::test::Child;

namespace {

constexpr WindowRect kOwnSize{40, 40, 720, 440};
constexpr WindowRect kArea{0, 0, 1400, 840};

class LateDesktop {
 public:
  // The window of the i-th started emulator shows `appearMs[i]` after the
  // first look at the desktop and sets its own size `ownSizeMs` after that.
  LateDesktop(std::vector<int> appearMs, int ownSizeMs)
      : appearMs_(std::move(appearMs)), ownSizeMs_(ownSizeMs) {}

  platform::DesktopWindowCalls calls() {
    platform::DesktopWindowCalls c;
    c.minimizeOthers = [](int) { return true; };
    c.shown = [this](const std::vector<int>& pids) {
      ++looks;
      return static_cast<int>(visible(pids).size());
    };
    c.tile = [this](const std::vector<int>& pids) {
      ++tileCalls;
      const std::vector<int> shown = visible(pids);
      const std::vector<WindowRect> rects = platform::TileHorizontally(kArea, static_cast<int>(shown.size()));
      for (std::size_t i = 0; i < shown.size(); ++i) windows_[shown[i]].rect = rects[i];
      return static_cast<int>(shown.size());
    };
    return c;
  }

  // Where the window of `pid` is now (kOwnSize when it was never tiled).
  WindowRect rectOf(int pid) {
    advance();
    return windows_.count(pid) ? windows_[pid].rect : kOwnSize;
  }
  const std::vector<int>& pids() const { return pids_; }
  int tileCalls = 0;
  int looks = 0;

 private:
  struct Window {
    WindowRect rect = kOwnSize;
    bool sizedItself = false;
  };

  // The windows shown now, in the order of `pids`.
  std::vector<int> visible(const std::vector<int>& pids) {
    if (!clock_.isValid()) {
      clock_.start();
      pids_ = pids;
    }
    advance();
    std::vector<int> out;
    for (int pid : pids)
      if (windows_.count(pid)) out.push_back(pid);
    return out;
  }

  // Windows appear, and a fresh one gives itself its own size once.
  void advance() {
    if (!clock_.isValid()) return;
    const qint64 now = clock_.elapsed();
    for (std::size_t i = 0; i < pids_.size() && i < appearMs_.size(); ++i) {
      if (now < appearMs_[i]) continue;
      Window& w = windows_[pids_[i]];
      if (!w.sizedItself && now >= appearMs_[i] + ownSizeMs_) {
        w.rect = kOwnSize;
        w.sizedItself = true;
      }
    }
  }

  std::vector<int> appearMs_;
  int ownSizeMs_;
  QElapsedTimer clock_;
  std::vector<int> pids_;
  std::map<int, Window> windows_;
};

}  // namespace

class MultiRunTilingTest : public QObject {
  Q_OBJECT
  std::unique_ptr<test::WindowFixture> f;
  std::unique_ptr<test::RecordingEmulator> emulator;

  MainWindow& openOn(LateDesktop& desktop, const std::vector<std::string>& entries) {
    f->settings().writeString("MultiStartInterval", "2");
    WindowServices services;
    services.programDir = emulator->path();
    services.desktop = desktop.calls();
    MainWindow& w = f->openActiveOn(entries, services);
    TreeNode* top = w.tree().top();
    w.treeView().setFocus();
    w.selectNode(top->child(0));
    for (int i = 1; i < top->childCount(); ++i)
      w.treeView().selectionModel()->select(w.treeModel().indexOf(top->child(i)),
                                            QItemSelectionModel::Select);
    return w;
  }

 private slots:
  void init() {
    f = std::make_unique<test::WindowFixture>();
    emulator = std::make_unique<test::RecordingEmulator>();
  }
  void cleanup() {
    QVERIFY2(f->problems().empty(), f->problems().c_str());
    f.reset();
    emulator.reset();
  }

  // Only the first window is there when the last wait ends; the others come
  // 0.9 s and 2.6 s later, and each sets its own size 0.15 s after it came.
  // In the end all three sit in their rows, in the order they were started,
  // and the watch has stopped: a window moved afterwards stays where it is.
  void lateWindowsAreTiledAsTheyAppear() {
    LateDesktop desktop({0, 900, 2600}, 150);
    MainWindow& w = openOn(desktop, {"1:a:x", "1:b:y", "1:c:z"});
    QVERIFY(test::Trigger(w, "MnRunAllSelected"));
    QTRY_VERIFY_WITH_TIMEOUT(!Child<QLabel>(w, "MultiRunProgress")->isVisible(), 15000);
    QCOMPARE(desktop.pids().size(), std::size_t(3));
    const std::vector<WindowRect> rows = platform::TileHorizontally(kArea, 3);
    const auto allTiled = [&] {
      for (std::size_t i = 0; i < rows.size(); ++i)
        if (!(desktop.rectOf(desktop.pids()[i]) == rows[i])) return false;
      return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(allTiled(), 8000);
    // The windows stay tiled after each gave itself its own size, and the
    // watch ends once they have settled.
    QTest::qWait(2000);
    QVERIFY(allTiled());
    const int calls = desktop.tileCalls;
    QTest::qWait(1000);
    QCOMPARE(desktop.tileCalls, calls);
  }

  // While a started emulator has not shown its window the desktop is looked
  // at until the limit (10 s from the first look), then no more; the two
  // windows that came are tiled in two rows.
  void aWindowThatNeverComesEndsTheWatchAtItsLimit() {
    LateDesktop desktop({0, 700, 1000000}, 100);
    MainWindow& w = openOn(desktop, {"1:a:x", "1:b:y", "1:c:z"});
    QVERIFY(test::Trigger(w, "MnRunAllSelected"));
    QTRY_VERIFY_WITH_TIMEOUT(!Child<QLabel>(w, "MultiRunProgress")->isVisible(), 15000);
    QElapsedTimer sinceFirstLook;
    sinceFirstLook.start();
    const std::vector<WindowRect> rows = platform::TileHorizontally(kArea, 2);
    QTRY_VERIFY_WITH_TIMEOUT(desktop.rectOf(desktop.pids()[1]) == rows[1], 5000);
    QTest::qWait(2500);
    QVERIFY(desktop.rectOf(desktop.pids()[0]) == rows[0] && desktop.rectOf(desktop.pids()[1]) == rows[1]);
    const int looks = desktop.looks;
    QTest::qWait(1000);
    QVERIFY2(desktop.looks > looks, "still waiting for the third window");
    QTest::qWait(static_cast<int>(std::max<qint64>(0, 10500 - sinceFirstLook.elapsed())));
    const int atLimit = desktop.looks;
    QTest::qWait(1000);
    QCOMPARE(desktop.looks, atLimit);
  }
};

QTEST_MAIN(MultiRunTilingTest)
#include "multi_run_tiling_test.moc"
