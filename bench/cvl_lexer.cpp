// Lexing speed of the macro highlighter through the per-line interface the
// editor uses (set line, walk the tokens reading kind, start, length and
// attribute). Input: 10 MB of realistic macro lines. Reports MB/s (10^6 bytes).
#include "cvl/cvl_lexer.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cvl/token_dump.h"
#include "generated_macro.h"

namespace {

using varnok::cvl::CvlLexer;

constexpr std::size_t kTextSize = 10'000'000;

std::string DenseTokens(std::size_t size) {
  std::string text;
  while (text.size() < size) text += "x=1+2*(a-b) <> 3;\r\n";  // many one-byte tokens
  return text;
}

void LexLines(benchmark::State& state, const std::string& text) {
  std::vector<std::string_view> lines = varnok::cvl::SplitEditorLines(text);
  CvlLexer lexer;
  std::size_t bytes = 0;
  for (std::string_view line : lines) bytes += line.size();
  std::size_t tokens = 0;
  for (auto _ : state) {
    std::size_t sum = 0;
    int number = 0;
    for (std::string_view line : lines) {
      for (lexer.setLine(line, ++number); !lexer.atEndOfLine(); lexer.next()) {
        sum += lexer.tokenStart() + lexer.tokenLength() + static_cast<std::size_t>(lexer.kind()) +
               static_cast<std::size_t>(lexer.tokenAttribute());
        ++tokens;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
  state.counters["MB/s"] =
      benchmark::Counter(static_cast<double>(bytes) / 1e6 * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["bytes/token"] =
      static_cast<double>(bytes) * static_cast<double>(state.iterations()) / static_cast<double>(tokens);
}

void BM_LexRealisticMacro(benchmark::State& state) {
  static const std::string text = varnok::bench::GeneratedMacro(kTextSize / 30, kTextSize);
  LexLines(state, text);
}
BENCHMARK(BM_LexRealisticMacro)->Unit(benchmark::kMillisecond);

void BM_LexDenseOneByteTokens(benchmark::State& state) {
  static const std::string text = DenseTokens(kTextSize);
  LexLines(state, text);
}
BENCHMARK(BM_LexDenseOneByteTokens)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
