#include "recording_emulator_qt.h"

#include <QTest>

#include "program_dir.h"

namespace varnok::test {

RecordingEmulator::RecordingEmulator() = default;

std::vector<nlohmann::json> RecordingEmulator::records(std::size_t count,
                                                       std::chrono::milliseconds limit) const {
  std::vector<nlohmann::json> lines;
  const auto end = std::chrono::steady_clock::now() + limit;
  do {
    QTest::qWait(50);
    lines = EmulatorRecords(recordFile());
  } while (lines.size() < count && std::chrono::steady_clock::now() < end);
  return lines;
}

}  // namespace varnok::test
