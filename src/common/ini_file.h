#pragma once
// Profile (INI) files: "[section]" lines and "key=value" lines.
//
// Reading: section and key names are compared without regard to ASCII letter
// case; leading and trailing blanks and tabs around names and values are
// ignored; the first occurrence of a section and, within it, of a key wins.
// Lines before the first section, lines starting with ";" or "#", and lines
// without "=" are kept but never read as keys. Values are returned as they
// stand between the trimmed ends (no quote handling, no escapes).
//
// Writing follows the classic private-profile writer: a value that exists is
// replaced in place (the line keeps everything up to and including its "=" and
// the blanks after it, and its line break); a missing key is added after the
// last non-blank line of its section; a missing section is added at the end of
// the file, followed by its key. Every other line stays byte for byte as it
// was. New lines use the line break the text already uses (the first one
// found), else the default given to Parse (CR LF unless told otherwise).
//
// This is the in-memory form (Parse / Serialize); reading and writing whole
// files (with the safe writer) is in platform/ini_file_io.h.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/ini_lines.h"  // FindLineBreak, HasLineBreak
#include "common/ini_section_walk.h"

namespace varnok {

class IniFile {
 public:
  // An empty file whose new lines end with `newline`.
  explicit IniFile(std::string newline = "\r\n");

  // Splits `text` into lines, each keeping its own line break (LF, CR LF or
  // a lone CR). serialize() of the result gives `text` back unchanged.
  static IniFile parse(std::string_view text, std::string defaultNewline = "\r\n");
  std::string serialize() const;

  // The value of `key` in `section`; nullopt when either is missing.
  std::optional<std::string> get(std::string_view section, std::string_view key) const;
  std::string get(std::string_view section, std::string_view key, std::string_view fallback) const;

  bool hasSection(std::string_view section) const;
  // Section names in file order (each name once, as first written).
  std::vector<std::string> sections() const;
  // Key names of the first section called `section`, in file order, each once.
  std::vector<std::string> keys(std::string_view section) const;

  // Every key line of the first section called `section`, in file order, as
  // Get reads it (trimmed key and value); a key that occurs twice appears
  // twice, and Get answers with the first. One pass for callers that read
  // many keys: Get looks each one up from the top.
  using Entry = std::pair<std::string, std::string>;
  std::vector<Entry> entries(std::string_view section) const;

  // The same key lines read straight from `text`, without building the
  // lines: `visit(key, value)` is called for each, in file order, with views
  // into `text`. One pass over the text, nothing copied: for files of any
  // size. Returns false when `text` has no section called `section`. For a
  // text that comes in pieces: common/ini_section_walk.h.
  template <typename Visit>
  static bool visitEntries(std::string_view text, std::string_view section, Visit&& visit) {
    IniSectionWalk walk(section);
    walk.read(text, true,
              [&](std::string_view key, std::string_view value, std::size_t) { visit(key, value); });
    return walk.found();
  }

  // Writes `value` under `key` in `section` (see the rules above). Returns
  // false, changing nothing, when the names or the value would break the
  // file's structure: a line break in any of them, an empty or "="-holding
  // key, a key starting with "[", ";" or "#", or an empty or "]"-holding
  // section name.
  bool set(std::string_view section, std::string_view key, std::string_view value);

  // Adds `section` at the end of the file with `entries` in order: the same
  // lines as Set called for each entry, without a search per key. Returns
  // false, changing nothing, when a section of that name exists already, when
  // two keys are equal (ignoring letter case), or when Set would refuse one
  // of the names or values.
  bool appendSection(std::string_view section, const std::vector<Entry>& entries);

  // Removes the line of `key` in `section`; false when there was none.
  bool removeKey(std::string_view section, std::string_view key);
  // Removes the first section called `section` with all its lines.
  bool removeSection(std::string_view section);

  const std::string& newline() const { return newline_; }

 private:
  struct Line {
    std::string text;  // without its line break
    std::string eol;   // "", "\n", "\r\n" or "\r"
  };
  struct Span {
    std::size_t header;  // index of the "[section]" line
    std::size_t end;     // one past the section's last line
  };

  std::optional<Span> findSection(std::string_view section) const;
  std::optional<std::size_t> findKey(const Span& span, std::string_view key) const;
  void ensureLastLineEnds();
  static bool canWrite(std::string_view section, std::string_view key, std::string_view value);

  std::vector<Line> lines_;
  std::string newline_;
};

}  // namespace varnok
