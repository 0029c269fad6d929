#include "files/foreign_text.h"

#include <algorithm>

#include "common/utf16.h"
#include "platform/safe_write.h"

namespace varnok {

std::string ForeignTextOf(std::string bytes, const std::string& path, std::string_view what,
                          std::string& text) {
  const std::string_view b(bytes);
  if (b.starts_with("\xFF\xFE")) {
    text = Utf16ToUtf8(b.substr(2), false);
  } else if (b.starts_with("\xFE\xFF")) {
    text = Utf16ToUtf8(b.substr(2), true);
  } else if (b.starts_with("\xEF\xBB\xBF")) {
    text = std::move(bytes);
    text.erase(0, 3);
  } else {
    text = std::move(bytes);
  }
  if (text.find('\0') != std::string::npos) {
    text.clear();
    return path + " is not " + std::string(what) + " (it holds binary data).";
  }
  return "";
}

std::string ReadForeignText(const std::string& path, std::string_view what, std::string& text) {
  std::string bytes;
  if (const platform::WriteResult read = platform::ReadWholeFile(path, bytes); !read) return read.error;
  return ForeignTextOf(std::move(bytes), path, what, text);
}

bool LineWalk::next(std::string_view& line) {
  if (done_) return false;
  const std::size_t end = rest_.find('\n');
  if (end == std::string_view::npos) {
    done_ = true;
    line = rest_;
    if (line.empty()) return false;  // no line after the last line break
  } else {
    line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  ++number_;
  return true;
}

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
  return lower;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiLower(a) == AsciiLower(b);
}

bool IsPortNumber(std::string_view text) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  const int n = std::stoi(std::string(text));
  return n >= 1 && n <= 65535;
}

std::string LinePlace(const std::string& file, int line) { return file + ", line " + std::to_string(line); }

}  // namespace varnok
