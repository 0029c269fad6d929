// Fuzzes the verification of a schedule field: the first byte picks the field,
// the rest is the field's text. Whatever the text, the result must be "*" or
// an ascending, repeat-free list of in-range decimals, and verify to itself
// without corrections.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "properties/schedule.h"

using varnok::properties::ScheduleField;

namespace {

bool IsStoredField(const std::string& f, int min, int max) {
  if (f == "*") return true;
  if (f.empty()) return false;
  int previous = min - 1, value = -1;
  for (std::size_t i = 0; i <= f.size(); ++i) {
    if (i == f.size() || f[i] == ',') {
      if (value < 0 || value <= previous || value > max) return false;
      previous = value;
      value = -1;
    } else if (f[i] >= '0' && f[i] <= '9') {
      if (value == 0) return false;  // no leading zeros
      value = (value < 0 ? 0 : value * 10) + (f[i] - '0');
      if (value > 1000) return false;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  auto field = static_cast<ScheduleField>(data[0] % varnok::properties::kScheduleFieldCount + 1);
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto& info = varnok::properties::FieldInfo(field);

  int corrections = 0;
  std::string verified = varnok::properties::VerifyScheduleField(field, text, corrections);
  if (corrections < 0 || !IsStoredField(verified, info.min, info.max)) std::abort();
  int again = 0;
  if (varnok::properties::VerifyScheduleField(field, verified, again) != verified || again != 0) std::abort();

  // The stored form splits back into what was stored.
  varnok::properties::ScheduleFields fields;
  fields.fill(std::string(text));
  std::string stored = varnok::properties::CommitSchedule(true, fields);
  if (varnok::properties::LoadScheduleFields(stored) != fields) std::abort();
  return 0;
}
