#include "files/vnk_import_stream.h"

#include <optional>
#include <unordered_set>
#include <vector>

#include "files/vnk_stream.h"
#include "model/sibling_names.h"

namespace varnok {
namespace {

// The place of each record in the merged tree: its absolute index (top node
// 0, `file`'s records first) and its parent's.
class MergedPlaces {
 public:
  // For a record of depth `depth` (children of the top node 1).
  int parentOf(int depth) {
    path_.resize(static_cast<std::size_t>(depth));
    return path_.back();
  }
  int placed() {
    path_.push_back(++count_);
    return count_;
  }
  int count() const { return count_; }

 private:
  std::vector<int> path_{0};  // the indices of the current record's ancestors, top node first
  int count_ = 0;
};

// The open sibling lists along the current path: lists_[d - 1] holds the
// names of depth d so far.
class OpenLists {
 public:
  explicit OpenLists(const std::unordered_set<int>& lineFeedLists) : lineFeedLists_(lineFeedLists) {}

  SiblingNamer& listFor(int depth, int parent) {
    const auto d = static_cast<std::size_t>(depth);
    if (lists_.size() > d) lists_.erase(lists_.begin() + depth, lists_.end());  // the deeper lists have ended
    if (lists_.size() < d) lists_.emplace_back(lineFeedLists_.count(parent) > 0, true, /*copyLong=*/true);
    return lists_.back();
  }

 private:
  const std::unordered_set<int>& lineFeedLists_;
  std::vector<SiblingNamer> lists_;
};

LoadResult Stream(const std::string& path, const std::function<bool(const RecordView&)>& visit) {
  return StreamConfiguration(path, [&](const RecordView& r, int) { return visit(r); });
}

}  // namespace

bool ProduceImportedConfiguration(const std::string& file, const std::string& source, StreamedImport& result,
                                  const std::function<bool(std::string_view)>& sink) {
  MergedPlaces counted;
  std::unordered_set<int> lineFeedLists;
  auto note = [&](const RecordView& r) {
    const int parent = counted.parentOf(r.Level);
    if (r.Name.find('\n') != std::string_view::npos) lineFeedLists.insert(parent);
    counted.placed();
    return true;
  };
  result.file = Stream(file, note);
  if (!result.file.ok()) return false;
  result.source = Stream(source, note);
  if (!result.source.ok()) return false;

  MergedPlaces places;
  OpenLists lists(lineFeedLists);
  std::string out;
  AppendHeader(out, counted.count());
  bool written = true, changed = false;
  auto write = [&](const RecordView& r) {
    if (places.count() == counted.count()) {  // more records than counted
      changed = true;
      return false;
    }
    const int parent = places.parentOf(r.Level);
    places.placed();
    SiblingNamer& names = lists.listFor(r.Level, parent);
    std::optional<std::string> fresh = IsSeparatorName(r.Name) ? std::nullopt : names.freeNameFor(r.Name);
    RecordView named = r;
    if (fresh) {
      named.Name = *fresh;
      ++result.renamed;
    }
    names.add(named.Name);
    AppendRecord(out, named, r.Level);
    if (out.size() >= (std::size_t{1} << 20)) {
      written = sink(out);
      out.clear();
    }
    return written;
  };
  for (auto [path, read] : {std::pair{&file, &result.file}, std::pair{&source, &result.source}}) {
    LoadResult again = Stream(*path, write);
    if (!written) return false;  // the sink's failure; the input is fine
    if (!again.ok()) {
      *read = std::move(again);
      return false;
    }
  }
  if (changed || places.count() != counted.count()) {
    result.source.status = LoadStatus::InconsistentData;
    result.source.message = kVnkInconsistent;
    result.source.reason = source + ": a file changed while it was read";
    return false;
  }
  return sink(out);
}

}  // namespace varnok
