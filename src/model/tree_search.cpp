#include "model/tree_search.h"

#include <algorithm>

#include "common/stored_text.h"
#include "model/connect_lines.h"

namespace varnok {

int FindResult::entryOf(const TreeNode* node) const {
  if (!node) return -1;
  auto it = std::lower_bound(shown.begin(), shown.end(), node, [](const TreeNode* a, const TreeNode* b) {
    return a != b && ConnectionTree::comesBefore(a, b);
  });
  return it != shown.end() && *it == node ? static_cast<int>(it - shown.begin()) : -1;
}

std::size_t FindResult::bytes() const {
  return shown.capacity() * sizeof(const TreeNode*) + matched.capacity() +
         (parent.capacity() + childStart.capacity() + children.capacity() + row.capacity()) *
             sizeof(std::int32_t);
}

TreeSearch::TreeSearch(const ConnectionTree& tree, FindQuery query)
    : TreeSearch(std::make_shared<const FindIndex>(tree), std::move(query)) {}

TreeSearch::TreeSearch(std::shared_ptr<const FindIndex> index, FindQuery query)
    : index_(std::move(index)), query_(std::move(query)) {
  for (std::size_t i = 0; i < query_.terms.size(); ++i) {
    const FindTerm& t = query_.terms[i];
    if (t.field == FindField::Path) {
      (t.exclude ? pathExcludes_ : pathWords_) |= 1u << i;
    } else {
      usesFields_ = true;
      usesTargets_ = usesTargets_ || t.field == FindField::Host || t.field == FindField::User;
    }
  }
  result_.shown.push_back(index_->entries().front().node);
  result_.parent.push_back(-1);
  result_.matched.push_back(0);
  frames_.push_back({0, 0, 0, 0});
  if (index_->entries().size() == 1) finish();
}

bool TreeSearch::step(int budget) {
  const std::size_t count = index_->entries().size();
  while (next_ < count && budget-- > 0) visit(next_);
  if (next_ >= count && !done_) finish();
  return done_;
}

void TreeSearch::visit(std::size_t entry) {
  const FindIndex::Entry& e = index_->entries()[entry];
  next_ = entry + 1;
  frames_.resize(static_cast<std::size_t>(e.depth));  // the open ancestors
  const Frame& parent = frames_.back();
  path_.resize(parent.pathLength);
  if (e.depth > 1) path_.push_back('/');
  const std::size_t appended = parent.pathLength;
  const std::string_view name = index_->name(entry);
  path_.append(name);

  std::uint32_t found = parent.found;
  for (std::uint32_t wanted = (pathWords_ | pathExcludes_) & ~found; wanted; wanted &= wanted - 1) {
    const int i = __builtin_ctz(wanted);
    const std::string& word = query_.terms[static_cast<std::size_t>(i)].text;
    // Only an occurrence that ends in the new part is new.
    const std::size_t from = appended + 1 > word.size() ? appended + 1 - word.size() : 0;
    if (path_.find(word, from) != std::string::npos) found |= 1u << i;
  }
  if (found & pathExcludes_) {
    next_ = static_cast<std::size_t>(e.branchEnd);  // the node and its whole branch are excluded
    return;
  }
  if (IsSeparatorName(name)) return;  // never matches, never has children
  std::int32_t shown = -1;
  if ((found & pathWords_) == pathWords_ && (!usesFields_ || fieldsMatch(e.node))) shown = show(entry);
  if (static_cast<std::size_t>(e.branchEnd) > entry + 1)
    frames_.push_back(
        {static_cast<std::uint32_t>(path_.size()), found, shown, static_cast<std::uint32_t>(entry)});
}

namespace {

void DecodeFolded(std::string_view stored, std::string& out, std::string& scratch) {
  scratch = DecodeText(stored);
  out.clear();
  AppendFolded(out, scratch);
}

}  // namespace

bool TreeSearch::fieldsMatch(const TreeNode* node) {
  const rVTNodeData& d = node->data();
  bool macroRead = false, popupRead = false;
  for (const FindTerm& t : query_.terms) {
    const std::string* text = nullptr;
    switch (t.field) {
      case FindField::Path:
        continue;
      case FindField::Macro:
      case FindField::Host:
      case FindField::User:
        if (!macroRead) {
          DecodeFolded(d.Macro, macro_, scratch_);
          if (usesTargets_) {
            hosts_.clear();
            users_.clear();
            ReadConnectTargets(macro_, hosts_, users_);
          }
          macroRead = true;
        }
        text = t.field == FindField::Macro ? &macro_ : t.field == FindField::Host ? &hosts_ : &users_;
        break;
      case FindField::Popup:
        if (!popupRead) {
          DecodeFolded(d.PopupText, popup_, scratch_);
          popupRead = true;
        }
        text = &popup_;
        break;
    }
    if ((text->find(t.text) != std::string::npos) == t.exclude) return false;
  }
  return true;
}

std::int32_t TreeSearch::show(std::size_t entry) {
  // The ancestors not shown yet come first, outermost first.
  std::size_t first = frames_.size();
  while (first > 0 && frames_[first - 1].shownEntry < 0) --first;
  for (std::size_t i = first; i < frames_.size(); ++i) {
    frames_[i].shownEntry = static_cast<std::int32_t>(result_.shown.size());
    result_.shown.push_back(index_->entries()[frames_[i].indexEntry].node);
    result_.parent.push_back(frames_[i - 1].shownEntry);
    result_.matched.push_back(0);
  }
  result_.shown.push_back(index_->entries()[entry].node);
  result_.parent.push_back(frames_.back().shownEntry);
  result_.matched.push_back(1);
  ++result_.matchCount;
  return static_cast<std::int32_t>(result_.shown.size() - 1);
}

void TreeSearch::finish() {
  done_ = true;
  FindResult& r = result_;
  const std::size_t n = r.shown.size();
  r.childStart.assign(n + 1, 0);
  r.row.assign(n, 0);
  for (std::size_t e = 1; e < n; ++e) ++r.childStart[static_cast<std::size_t>(r.parent[e]) + 1];
  for (std::size_t e = 0; e < n; ++e) r.childStart[e + 1] += r.childStart[e];
  r.children.assign(n > 0 ? n - 1 : 0, 0);
  std::vector<std::int32_t> filled(n, 0);
  for (std::size_t e = 1; e < n; ++e) {
    const auto p = static_cast<std::size_t>(r.parent[e]);
    r.row[e] = filled[p]++;
    r.children[static_cast<std::size_t>(r.childStart[p] + r.row[e])] = static_cast<std::int32_t>(e);
  }
  path_.clear();
  path_.shrink_to_fit();
  frames_.clear();
  frames_.shrink_to_fit();
}

FindResult SearchTree(const ConnectionTree& tree, const FindQuery& query) {
  TreeSearch search(tree, query);
  while (!search.step(1 << 20)) {
  }
  return search.takeResult();
}

std::vector<TextRange> MatchRanges(const FindQuery& query, FindField field, std::string_view text) {
  const std::string folded = Folded(text);
  std::vector<TextRange> ranges;
  for (const FindTerm& t : query.terms) {
    if (t.exclude || t.field != field) continue;
    for (const TextRange& r : FindAll(folded, t.text)) ranges.push_back(r);
  }
  return MergeRanges(std::move(ranges));
}

}  // namespace varnok
