#include "recording_emulator_qt.h"

#include <QTest>
#include <fstream>

namespace varnok::test {

RecordingEmulator::RecordingEmulator() = default;

std::vector<nlohmann::json> RecordingEmulator::records(std::size_t count,
                                                       std::chrono::milliseconds limit) const {
  std::vector<nlohmann::json> lines;
  const auto end = std::chrono::steady_clock::now() + limit;
  do {
    QTest::qWait(50);
    lines.clear();
    std::ifstream in(recordFile());
    for (std::string line; std::getline(in, line);) {
      nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
      if (!line.empty() && !entry.is_discarded()) lines.push_back(std::move(entry));
    }
  } while (lines.size() < count && std::chrono::steady_clock::now() < end);
  return lines;
}

}  // namespace varnok::test
