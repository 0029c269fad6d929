#include "common/ini_section_walk.h"

namespace varnok {

bool IniSectionWalk::nextLine(std::string_view piece, std::size_t& start, bool atEnd,
                              std::string_view& line) {
  const std::size_t from = start;
  const std::size_t brk = FindLineBreak(piece, from);
  if (brk == std::string_view::npos) {
    if (!atEnd) return false;
    line = piece.substr(from);
    start = piece.size();
    return true;
  }
  const bool crAtTheEnd = piece[brk] == '\r' && brk + 1 == piece.size();
  if (crAtTheEnd && !atEnd) return false;  // its LF may come with the next piece
  line = piece.substr(from, brk - from);
  start = brk + ((piece[brk] == '\r' && brk + 1 < piece.size() && piece[brk + 1] == '\n') ? 2 : 1);
  return true;
}

void IniSectionWalk::enter(std::string_view name) {
  if (state_ == State::Inside)
    state_ = State::Past;
  else if (ini::SameName(name, section_))
    state_ = State::Inside;
}

}  // namespace varnok
