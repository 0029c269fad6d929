#pragma once
// Reading the text files of other tools: a byte-order mark is honoured
// (UTF-8 dropped, UTF-16 of either order converted to UTF-8), and a file
// holding NUL bytes after that is no text file.
#include <string>
#include <string_view>

namespace varnok {

// Fills `text` with the file's text. Returns "" or why it cannot be used:
// "<path>: <the system's reason>", or "<path> is not a text file (it holds
// binary data)." (`what` names the kind of file expected, for the message).
std::string ReadForeignText(const std::string& path, std::string_view what, std::string& text);
// The same for bytes already read.
std::string ForeignTextOf(std::string bytes, const std::string& path, std::string_view what,
                          std::string& text);

// Walks a text line by line (LF or CR LF), numbering from 1.
class LineWalk {
 public:
  explicit LineWalk(std::string_view text) : rest_(text) {}
  // False at the end.
  bool next(std::string_view& line);
  int number() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
  bool done_ = false;
};

std::string AsciiLower(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// A TCP port: 1 to 65535 in decimal digits.
bool IsPortNumber(std::string_view text);
// "<file>, line <n>".
std::string LinePlace(const std::string& file, int line);

}  // namespace varnok
