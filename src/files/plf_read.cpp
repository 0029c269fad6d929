#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "common/ini_file.h"
#include "common/ini_section_walk.h"
#include "common/program_paths.h"
#include "files/level_placement.h"
#include "files/plf_file.h"
#include "files/plf_value.h"
#include "properties/color_set.h"

namespace varnok {
namespace {

// Where a row's values are: the first line of each of its eight keys.
struct PlfRow {
  std::int64_t row = 0;
  std::array<std::string_view, 8> values{};  // as in the text (quoted)
  std::uint8_t present = 0;                  // bit c - 1 for key C<c>
};

// The digits of a row or column number as the keys are written: decimal,
// no sign, no leading zero.
std::optional<std::int64_t> KeyNumber(std::string_view digits) {
  if (digits.empty() || digits.front() == '0' || digits.size() > 18) return std::nullopt;
  std::int64_t n = 0;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) return std::nullopt;
  return n;
}

// "C<column>_R<row>" in any letter case, columns 1 to 8.
std::optional<std::pair<int, std::int64_t>> CellKey(std::string_view key) {
  if (key.size() < 5 || (key[0] != 'C' && key[0] != 'c')) return std::nullopt;
  const std::size_t sep = key.find('_');
  if (sep == std::string_view::npos || sep + 2 >= key.size() || (key[sep + 1] != 'R' && key[sep + 1] != 'r'))
    return std::nullopt;
  auto column = KeyNumber(key.substr(1, sep - 1));
  auto row = KeyNumber(key.substr(sep + 2));
  if (!column || !row || *column > 8) return std::nullopt;
  return std::make_pair(static_cast<int>(*column), *row);
}

// Keeps the first value of each key, as IniFile::get answers.
void Put(PlfRow& row, int column, std::string_view value) {
  const auto bit = static_cast<std::uint8_t>(1u << (column - 1));
  if (row.present & bit) return;
  row.present |= bit;
  row.values[static_cast<std::size_t>(column - 1)] = value;
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// The rows of a section in any order (a hand-made file; written ones are
// read by ReadRowsInOrder below), in one pass over the text: the keys are read
// without regard to letter case, the first of duplicate keys wins, as
// IniFile::get answers. Rows come out ascending, those with a name key
// ("C1_R" + n) and 1 <= n <= RowCount only; others would be skipped anyway,
// and collecting them keeps a huge "RowCount" from costing anything.
//
// Rows numbered as written (ascending, no gaps) go straight into a table
// indexed by row number. Once a row number runs too far ahead of the keys
// read so far (a hand-made file), the rest is collected and sorted by row.
class PlfSection {
 public:
  // False when `text` has no such section.
  bool read(std::string_view text) {
    std::vector<Cell> cells;  // once rows are sparse: the keys in file order
    std::optional<std::string_view> rowCount;
    std::size_t keys = 0;
    const bool found =
        IniFile::visitEntries(text, kPlfSection, [&](std::string_view key, std::string_view value) {
          if (auto cell = CellKey(key)) {
            ++keys;
            const auto [column, row] = *cell;
            // A table of at most one row per four keys read: bounded by the text's size.
            if (cells.empty() && static_cast<std::uint64_t>(row) <= keys / 4 + 16) {
              if (static_cast<std::size_t>(row) >= rows_.size())
                rows_.resize(static_cast<std::size_t>(row) + 1);
              Put(rows_[static_cast<std::size_t>(row)], column, value);
            } else {
              cells.push_back({row, column, value});
            }
          } else if (!rowCount && SameLetters(key, kPlfRowCount)) {
            rowCount = value;
          }
        });
    if (!found) return false;
    std::int64_t count = 0;
    if (rowCount) count = ParseProfileInteger(UnquotePlfValue(*rowCount)).value_or(0);
    if (cells.empty())
      keepRowsUpTo(count);
    else
      group(cells, count);
    return true;
  }

  const std::vector<PlfRow>& rows() const { return rows_; }

 private:
  struct Cell {
    std::int64_t row;
    int column;
    std::string_view value;  // as in the text (quoted)
  };

  // The table holds every row: keeps those with a name up to `rowCount`, in place.
  void keepRowsUpTo(std::int64_t rowCount) {
    std::size_t kept = 0;
    for (std::size_t r = 1; r < rows_.size() && static_cast<std::int64_t>(r) <= rowCount; ++r) {
      if (!(rows_[r].present & 1)) continue;
      rows_[r].row = static_cast<std::int64_t>(r);
      rows_[kept++] = rows_[r];
    }
    rows_.resize(kept);
  }

  // Sparse row numbers: the table's keys (read first) and the later ones,
  // sorted by row, the file order kept within a row.
  void group(std::vector<Cell>& later, std::int64_t rowCount) {
    std::vector<Cell> cells;
    for (std::size_t r = 1; r < rows_.size(); ++r)
      for (int column = 1; column <= 8; ++column)
        if (rows_[r].present & (1u << (column - 1)))
          cells.push_back(
              {static_cast<std::int64_t>(r), column, rows_[r].values[static_cast<std::size_t>(column - 1)]});
    rows_.clear();
    cells.insert(cells.end(), later.begin(), later.end());
    std::erase_if(cells, [&](const Cell& c) { return c.row > rowCount; });
    std::stable_sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) { return a.row < b.row; });
    for (std::size_t i = 0; i < cells.size();) {
      std::size_t end = i;
      PlfRow row{cells[i].row};
      for (; end < cells.size() && cells[end].row == cells[i].row; ++end)
        Put(row, cells[end].column, cells[end].value);
      if (row.present & 1) rows_.push_back(row);
      i = end;
    }
  }

  std::vector<PlfRow> rows_;
};

std::optional<std::string_view> Value(const PlfRow& row, int column) {
  if (!(row.present & (1u << (column - 1)))) return std::nullopt;
  return UnquotePlfValue(row.values[static_cast<std::size_t>(column - 1)]);
}

std::int32_t Integer(const PlfRow& row, int column, std::int32_t fallback) {
  auto value = Value(row, column);
  if (!value) return fallback;
  return ParseProfileInteger(*value).value_or(fallback);
}

// Makes the nodes of rows given in order below a stand-in root; finish()
// puts them below the tree's top node.
class PlfNodes {
 public:
  PlfNodes(ConnectionTree& tree, const std::string& programDir, std::int32_t selectedNodeIndex,
           const Clock& clock)
      : tree_(tree),
        programDir_(programDir),
        clock_(clock),
        builder_(tree.memory()),
        place_(builder_.root()),
        firstIndex_(tree.count()),
        selectedNodeIndex_(selectedNodeIndex) {}

  void add(const PlfRow& row) {
    rVTNodeData& d = record_;  // every text is assigned below; the strings keep their capacity
    d.Name = Value(row, 1).value_or("");
    if (d.Name.empty()) return;
    TreeNode* parent = place_.parentFor(Integer(row, 8, 1));
    if (IsSeparatorName(d.Name)) d.Name = kSeparatorName;
    if (auto schedule = Value(row, 2)) {
      d.Schedule = *schedule;
    } else {
      if (!timeText_) timeText_ = FormatCompactTimeStamp(clock_.now());
      d.Schedule = *timeText_;
    }
    d.Macro = Value(row, 3).value_or("");
    d.LastUpdated = Value(row, 4).value_or("");
    d.PopupText = Value(row, 5).value_or("");
    if (auto colors = Value(row, 6)) {
      d.Colors = *colors;
    } else {
      if (!defaultColors_) defaultColors_ = properties::DefaultColorString(programDir_);
      d.Colors = *defaultColors_;
    }
    d.StartLogging = Integer(row, 7, 1) != 0;

    const int index = firstIndex_ + builder_.nodeCount();
    TreeNode* created = builder_.append(parent, d);
    place_.created(created);
    if (index == selectedNodeIndex_) result_.focusNode = created;
  }

  LoadResult finish() {
    result_.nodesAdded = builder_.nodeCount();
    TreeNode* top = tree_.top();
    tree_.insertRange(top, top->childCount(), builder_.finish());
    return std::move(result_);
  }

 private:
  ConnectionTree& tree_;
  const std::string& programDir_;
  const Clock& clock_;
  SubtreeBuilder builder_;
  LevelPlacement place_;
  const int firstIndex_;
  const std::int32_t selectedNodeIndex_;
  std::optional<std::string> defaultColors_;
  std::optional<std::string> timeText_;
  rVTNodeData record_;
  LoadResult result_;
};

enum class RowOrder { NoSection, InOrder, NotInOrder };

// A written file lists the keys of each row together, the rows ascending,
// and "RowCount" covers them all: such a section becomes nodes row by row as
// it is read, without a table of every row (at a million rows, its fresh
// pages cost more than the reading), and without the whole text at once:
// read() takes it in pieces. NotInOrder as soon as the text is not like that
// (a key of a row already passed, rows beyond "RowCount"); the caller then
// drops those nodes and reads the section through PlfSection.
class PlfRowsInOrder {
 public:
  explicit PlfRowsInOrder(PlfNodes& nodes) : nodes_(nodes) {}

  // Reads the rows `bytes` holds and returns how many bytes it is done with:
  // up to the first line of the row it is still collecting, whose values are
  // views into `bytes`, so that row comes again with the next piece.
  // kStopReading once the section is read, or found out of order. atEnd:
  // nothing follows `bytes`.
  std::size_t read(std::string_view bytes, bool atEnd) {
    row_ = PlfRow{row_.row};  // collected again from its first line, where `bytes` starts
    std::size_t rowStart = 0;
    const std::size_t walked =
        walk_.read(bytes, atEnd, [&](std::string_view key, std::string_view value, std::size_t lineStart) {
          if (!inOrder_) return;
          if (auto cell = CellKey(key)) {
            const auto [column, number] = *cell;
            if (number != row_.row) {
              if (number < row_.row) {
                inOrder_ = false;
                return;
              }
              addRow();
              row_ = PlfRow{number};
              rowStart = lineStart;
            }
            Put(row_, column, value);
          } else if (!rowCount_ && SameLetters(key, kPlfRowCount)) {
            rowCount_ = ParseProfileInteger(UnquotePlfValue(value)).value_or(0);
          }
        });
    if (!inOrder_) return platform::kStopReading;
    if (atEnd || walk_.done()) {
      addRow();
      return platform::kStopReading;
    }
    return row_.row != 0 ? rowStart : walked;
  }

  // What the text turned out to be, once read.
  RowOrder order() const {
    if (!walk_.found()) return RowOrder::NoSection;
    if (!inOrder_) return RowOrder::NotInOrder;
    return lastAdded_ <= rowCount_.value_or(0) ? RowOrder::InOrder : RowOrder::NotInOrder;
  }

 private:
  void addRow() {
    if (!(row_.present & 1)) return;
    nodes_.add(row_);
    lastAdded_ = row_.row;
  }

  PlfNodes& nodes_;
  IniSectionWalk walk_{kPlfSection};
  PlfRow row_;  // the row being collected; row 0: none yet
  std::int64_t lastAdded_ = 0;
  std::optional<std::int64_t> rowCount_;  // the first "RowCount"
  bool inOrder_ = true;
};

LoadResult NotPlf() {
  // Any other file would read as an empty tree and, converted, replace a good file with nothing.
  LoadResult result;
  result.status = LoadStatus::InvalidFormat;
  result.message = std::string(kNotPlfFile);
  return result;
}

// The section in any order: the rows gathered first (see PlfSection).
LoadResult ReadGathered(ConnectionTree& tree, std::string_view text, const std::string& programDir,
                        std::int32_t selectedNodeIndex, const Clock& clock) {
  PlfSection section;
  if (!section.read(text)) return NotPlf();
  PlfNodes nodes(tree, programDir, selectedNodeIndex, clock);
  for (const PlfRow& row : section.rows()) nodes.add(row);
  return nodes.finish();
}

LoadResult CannotOpen(std::string reason) {
  LoadResult r;
  r.status = LoadStatus::CannotOpen;
  r.message = "Cannot open the file.";
  r.reason = std::move(reason);
  return r;
}

}  // namespace

LoadResult ReadPlf(ConnectionTree& tree, std::string_view text, const std::string& programDir,
                   std::int32_t selectedNodeIndex, const Clock& clock) {
  {
    PlfNodes nodes(tree, programDir, selectedNodeIndex, clock);
    PlfRowsInOrder rows(nodes);
    rows.read(text, true);
    const RowOrder order = rows.order();
    if (order == RowOrder::InOrder) return nodes.finish();
    if (order == RowOrder::NoSection) return NotPlf();
  }
  // A hand-made order: the nodes made so far are dropped.
  return ReadGathered(tree, text, programDir, selectedNodeIndex, clock);
}

namespace detail {

LoadResult LoadPlfFileInPieces(ConnectionTree& tree, const std::string& path, std::size_t piece,
                               const std::string& programDir, std::int32_t selectedNodeIndex,
                               const Clock& clock) {
  if (!FileExists(path)) {
    LoadResult r;
    r.status = LoadStatus::FileMissing;
    r.message = "File '" + path + "' not found";
    return r;
  }
  {
    // Through one buffer: one of the file's size would cost more in fresh pages than the reading.
    PlfNodes nodes(tree, programDir, selectedNodeIndex, clock);
    PlfRowsInOrder rows(nodes);
    platform::WriteResult read = platform::ReadFileInPieces(
        path, piece, [&](std::string_view bytes, bool atEnd) { return rows.read(bytes, atEnd); });
    if (!read) return CannotOpen(std::move(read.error));
    const RowOrder order = rows.order();
    if (order == RowOrder::InOrder) return nodes.finish();
    if (order == RowOrder::NoSection) return NotPlf();
  }
  // A hand-made order (such files are small): the nodes made so far are
  // dropped, and the rows are gathered from the whole text.
  std::string bytes;
  platform::WriteResult read = platform::ReadWholeFile(path, bytes);
  if (!read) return CannotOpen(std::move(read.error));
  return ReadGathered(tree, bytes, programDir, selectedNodeIndex, clock);
}

}  // namespace detail

LoadResult LoadPlfFile(ConnectionTree& tree, const std::string& path, const std::string& programDir,
                       std::int32_t selectedNodeIndex, const Clock& clock) {
  return detail::LoadPlfFileInPieces(tree, path, kPlfPiece, programDir, selectedNodeIndex, clock);
}

}  // namespace varnok
