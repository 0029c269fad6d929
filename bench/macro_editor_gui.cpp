// The Macro editor with a 10 MB macro (200,000 lines): loading it into the
// page until the shown lines are highlighted and painted, a keystroke in the
// middle restyled and repainted (also as the editor reports it while an
// assistive tool is active), scrolling to the end, styling the whole text
// in one pass; and the window moving the focus between two connections with
// 1 MB macros.
//   build/bench/bench_macro_editor_gui        (offscreen unless a display is set)
#include <Qsci/qsciscintilla.h>
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <string>

#include "common/stored_text.h"
#include "editor/cvl_highlighter.h"
#include "generated_macro.h"
#include "pages/macro_page.h"
#include "qt_bench_main.h"
#include "window_environment.h"

namespace {

using namespace varnok;
using namespace varnok::bench;
using Sci = QsciScintillaBase;

constexpr std::size_t kLines = 200'000;
constexpr std::size_t kBytes = 10'000'000;

// A Macro page in a window of the editor's usual size, shown.
struct LargeMacroPage {
  QWidget window;
  app::MacroPage* page;
  rVTNodeData record;
  std::size_t textBytes = 0;

  LargeMacroPage() {
    page = new app::MacroPage(QApplication::font().pointSize() + 1, &window);
    page->setGeometry(0, 0, 700, 560);
    window.resize(700, 560);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    const std::string text = GeneratedMacro(kLines, kBytes);
    textBytes = text.size();
    record.Name = "large";
    record.Macro = EncodeText(text);
  }
  QsciScintilla& editor() const { return page->editor(); }
  app::CvlHighlighter& highlighter() const { return page->highlighter(); }
  void load() {
    page->load(record);
    editor().viewport()->repaint();
  }
};

// Made on first use, destroyed before the application.
std::unique_ptr<LargeMacroPage> large;
LargeMacroPage& Large() {
  if (!large) large = std::make_unique<LargeMacroPage>();
  return *large;
}

void BM_LoadLargeMacro(benchmark::State& state) {
  LargeMacroPage& l = Large();
  long styled = 0;
  for (auto _ : state) {
    state.PauseTiming();
    l.page->clear();
    l.editor().viewport()->repaint();
    const long before = l.highlighter().linesStyled();
    state.ResumeTiming();
    l.load();
    state.PauseTiming();
    styled = l.highlighter().linesStyled() - before;
    if (l.editor().lines() != static_cast<int>(kLines)) state.SkipWithError("not loaded");
    state.ResumeTiming();
  }
  state.counters["MB"] = static_cast<double>(l.textBytes) / 1e6;
  state.counters["lines_styled"] = static_cast<double>(styled);
}

void BM_KeystrokeInTheMiddle(benchmark::State& state) {
  LargeMacroPage& l = Large();
  l.load();
  QsciScintilla& e = l.editor();
  e.setFocus();
  // Args: the caret's line in thousandths of the text (0: the first line, 500:
  // the middle); 1 when an assistive tool is active (the component then
  // reports each change to it, counting the characters up to the change).
  const bool tool = state.range(1) == 1;
  if (tool) QAccessible::setActive(true);
  const int line = static_cast<int>(static_cast<long>(e.lines()) * state.range(0) / 1000);
  e.setCursorPosition(line, 0);
  e.SendScintilla(Sci::SCI_SCROLLCARET);
  e.viewport()->repaint();
  long styled = 0;
  bool type = true;
  for (auto _ : state) {
    const long before = l.highlighter().linesStyled();
    // Typing a quote restyles the rest of the line as a string; Backspace
    // takes it back.
    if (type)
      QTest::keyClick(&e, '\'');
    else
      QTest::keyClick(&e, Qt::Key_Backspace);
    e.viewport()->repaint();
    type = !type;
    styled = l.highlighter().linesStyled() - before;
  }
  if (tool) QAccessible::setActive(false);
  state.counters["lines_styled"] = static_cast<double>(styled);
  state.SetLabel(tool ? "assistive tool active" : "");
}

void BM_ScrollToTheEnd(benchmark::State& state) {
  LargeMacroPage& l = Large();
  l.load();
  QsciScintilla& e = l.editor();
  e.setFocus();
  for (auto _ : state) {
    state.PauseTiming();
    QTest::keyClick(&e, Qt::Key_Home, Qt::ControlModifier);
    e.viewport()->repaint();
    l.highlighter().invalidate();  // the end has never been shown
    state.ResumeTiming();
    QTest::keyClick(&e, Qt::Key_End, Qt::ControlModifier);
    e.viewport()->repaint();
  }
  if (e.firstVisibleLine() < e.lines() - 100) state.SkipWithError("not at the end");
}

void BM_StyleWholeText(benchmark::State& state) {
  LargeMacroPage& l = Large();
  l.load();
  const long bytes = l.editor().SendScintilla(Sci::SCI_GETLENGTH);
  for (auto _ : state) {
    l.highlighter().styleLines(0, l.editor().lines() - 1);
  }
  state.SetBytesProcessed(bytes * state.iterations());
  state.counters["MB/s"] =
      benchmark::Counter(static_cast<double>(bytes) / 1e6 * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
}

// The window on a configuration of two connections with 1 MB macros each.
void BM_FocusBetweenLargeMacros(benchmark::State& state) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("varnok-bench-macro-" + std::to_string(::getpid())))
          .string();
  std::filesystem::create_directories(dir);
  const std::string file = dir + "/Macros.vnk";
  {
    ConnectionTree tree;
    for (int i = 0; i < 2; ++i) {
      rVTNodeData d;
      d.Name = i == 0 ? "site A" : "site B";
      d.Macro = EncodeText(GeneratedMacro(20'000, 1'000'000, 7 + static_cast<unsigned>(i)));
      d.Colors = "0:0:0:255:255:255:0:0:0:255:255:255:0:0:0:255:255:255";
      tree.insert(tree.top(), i, ConnectionTree::newNode(d));
    }
    SaveConfiguration(tree, file);
  }
  auto settings = platform::OpenSettingsFile(dir + "/Varnok.conf");
  SilentPrompter prompter;
  NoDialogs dialogs;
  {
    auto window = OpenWindowOn(*settings, file, dir, 1, prompter, dialogs);
    Settle();
    window->treeView().setFocus();
    TreeNode* a = window->tree().top()->child(0);
    TreeNode* b = window->tree().top()->child(1);
    auto& macro = *window->findChild<QsciScintilla*>(QStringLiteral("Memo1"));
    bool toA = false;
    for (auto _ : state) {
      window->selectNode(toA ? a : b);
      window->refreshCommands();  // what the 150 ms refresh runs: the pages load
      Settle();
      macro.viewport()->repaint();
      toA = !toA;
    }
    if (macro.lines() < 10'000) state.SkipWithError("the macro is not shown");
    window->hide();
  }
  std::filesystem::remove_all(dir);
}

}  // namespace

BENCHMARK(BM_LoadLargeMacro)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_KeystrokeInTheMiddle)
    ->Args({500, 0})
    ->Args({0, 0})
    ->Args({500, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100)
    ->UseRealTime();
BENCHMARK(BM_ScrollToTheEnd)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(BM_StyleWholeText)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_FocusBetweenLargeMacros)->Unit(benchmark::kMillisecond)->Iterations(50)->UseRealTime();

int main(int argc, char** argv) {
  return varnok::bench::RunQtBenchmarks(argc, argv, [] { large.reset(); });
}
