#pragma once
// The key lines of one section of a profile (INI) text that comes in pieces,
// as a file read through one buffer hands it over: the same lines, in the
// same order and by the same rules as IniFile::visitEntries reads them from
// the whole text (which is this walk given the whole text as one piece).
//
// Lines end with LF, CR LF or a lone CR. A line whose end is not in the
// piece yet (no line break, or a CR that may be the first half of a CR LF)
// is left for the next piece, unless the piece reaches the end of the text:
// then the last line needs no line break.
#include <cstddef>
#include <string_view>

#include "common/ini_lines.h"

namespace varnok {

class IniSectionWalk {
 public:
  // `section` must outlive the walk.
  explicit IniSectionWalk(std::string_view section) : section_(ini::Trim(section)) {}

  // Reads the whole lines of `piece` and calls `visit(key, value, lineStart)`
  // for each key line of the section, with views into `piece` and the
  // offset in `piece` where the line starts. Returns how many bytes were
  // read: the rest must come again at the front of the next piece. A caller
  // may also hand back key lines read already (up to a line start it got
  // from `visit`); they are read again, which changes nothing here, since
  // the walk's state only changes at section lines. atEnd: nothing follows
  // `piece`.
  template <typename Visit>
  std::size_t read(std::string_view piece, bool atEnd, Visit&& visit) {
    std::size_t start = 0;
    while (start < piece.size() && state_ != State::Past) {
      const std::size_t lineStart = start;
      std::string_view line;
      if (!nextLine(piece, start, atEnd, line)) return lineStart;
      if (auto name = ini::SectionName(line)) {
        enter(*name);
      } else if (state_ == State::Inside) {
        if (auto entry = ini::KeyLine(line)) visit(entry->first, entry->second, lineStart);
      }
    }
    return start;
  }

  // The section's header was read.
  bool found() const { return state_ != State::Before; }
  // A section line after it was read: nothing that follows is of interest.
  bool done() const { return state_ == State::Past; }

 private:
  enum class State { Before, Inside, Past };

  // Reads the line at `start` into `line` (without its line break) and
  // moves `start` past the line break; false when the line's end is not in
  // `piece` yet.
  static bool nextLine(std::string_view piece, std::size_t& start, bool atEnd, std::string_view& line);
  // A section line called `name` was read.
  void enter(std::string_view name);

  std::string_view section_;
  State state_ = State::Before;
};

}  // namespace varnok
