#include "common/ini_section_walk.h"

#include "common/ini_file.h"

namespace varnok {

IniSectionWalk::LineKind IniSectionWalk::nextLine(std::string_view piece, std::size_t& start, bool atEnd,
                                                  std::string_view& key, std::string_view& value) {
  const std::size_t from = start;
  const std::size_t brk = FindLineBreak(piece, from);
  std::string_view line;
  if (brk == std::string_view::npos) {
    if (!atEnd) return LineKind::Partial;
    line = piece.substr(from);
    start = piece.size();
  } else {
    const bool crAtTheEnd = piece[brk] == '\r' && brk + 1 == piece.size();
    if (crAtTheEnd && !atEnd) return LineKind::Partial;  // its LF may come with the next piece
    line = piece.substr(from, brk - from);
    start = brk + ((piece[brk] == '\r' && brk + 1 < piece.size() && piece[brk + 1] == '\n') ? 2 : 1);
  }
  if (auto name = IniFile::sectionName(line)) {
    if (state_ == State::Inside)
      state_ = State::Past;
    else if (IniFile::sameName(*name, IniFile::trim(section_)))
      state_ = State::Inside;
    return LineKind::Other;
  }
  if (state_ != State::Inside) return LineKind::Other;
  auto entry = IniFile::keyLine(line);
  if (!entry) return LineKind::Other;
  key = entry->first;
  value = entry->second;
  return LineKind::Entry;
}

}  // namespace varnok
