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

namespace varnok {

class IniSectionWalk {
 public:
  // `section` must outlive the walk.
  explicit IniSectionWalk(std::string_view section) : section_(section) {}

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
      std::string_view key, value;
      const LineKind kind = nextLine(piece, start, atEnd, key, value);
      if (kind == LineKind::Partial) return lineStart;
      if (kind == LineKind::Entry) visit(key, value, lineStart);
    }
    return start;
  }

  // The section's header was read.
  bool found() const { return state_ != State::Before; }
  // A section line after it was read: nothing that follows is of interest.
  bool done() const { return state_ == State::Past; }

 private:
  enum class State { Before, Inside, Past };
  enum class LineKind { Partial, Entry, Other };

  // Reads the line at `start` and moves `start` past its line break, unless
  // the line is Partial (its end is not in `piece` yet). Entry: a key line of
  // the section, trimmed into `key` and `value`.
  LineKind nextLine(std::string_view piece, std::size_t& start, bool atEnd, std::string_view& key,
                    std::string_view& value);

  std::string_view section_;
  State state_ = State::Before;
};

}  // namespace varnok
