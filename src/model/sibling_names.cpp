#include "model/sibling_names.h"

#include <string.h>

#include <deque>
#include <vector>

#include "model/name_substrings.h"
#include "model/substring_index.h"

namespace varnok {
namespace {

// Names longer than this stay out of the substring index, which takes about
// sixty bytes per byte it holds: a single huge name would otherwise cost
// gigabytes. They are searched directly instead.
constexpr std::size_t kIndexedNameLength = 4096;

// Up to this many bytes a sibling list is searched directly: building the
// index costs far more per byte than a plain search, and most lists are short.
constexpr std::size_t kPlainSearchLength = 4096;

}  // namespace

// A sibling list, searched for candidate names. The list is held reversed,
// each name followed by a line feed: as text while it is short, then in an
// index. A long name is held apart (as a view while the caller keeps it
// alive, else as a copy) and only its line feed goes into the list, so a
// candidate with a line feed is not matched across a long name.
//
// Without line feeds in any name (the caller knows), no candidate can match
// across two names, so the names go into the far smaller NameSubstrings
// instead of the substring index of the joined list.
class SiblingNames {
 public:
  // `lineFeeds`: some name holds a line feed, so the names are indexed as one
  // text; `mayIndex` false: always searched directly (a few searches in a
  // long list cost less than its index).
  // `copyLong`: the names given to add() do not outlive the call.
  SiblingNames(bool lineFeeds, bool mayIndex, bool copyLong)
      : lineFeeds_(lineFeeds), mayIndex_(mayIndex), copyLong_(copyLong) {}

  void add(std::string_view name) {
    if (name.size() > kIndexedNameLength) {
      if (copyLong_) name = copies_.emplace_back(name);
      long_.push_back(name);
      name = {};
    }
    if (indexed_) {
      if (!lineFeeds_) {
        names_.add(name);
        return;
      }
      for (auto it = name.rbegin(); it != name.rend(); ++it) index_.append(*it);
      index_.append('\n');
      return;
    }
    reversed_.append(name.rbegin(), name.rend()).push_back('\n');
    if (mayIndex_ && reversed_.size() > kPlainSearchLength) {
      if (lineFeeds_) {
        index_.append(reversed_);
      } else {
        // Each piece between line feeds is one name, reversed.
        std::size_t from = 0;
        for (std::size_t end = reversed_.find('\n'); end != std::string::npos;
             from = end + 1, end = reversed_.find('\n', from))
          names_.add(std::string(reversed_.rbegin() + static_cast<std::ptrdiff_t>(reversed_.size() - end),
                                 reversed_.rbegin() + static_cast<std::ptrdiff_t>(reversed_.size() - from)));
      }
      reversed_ = {};
      indexed_ = true;
    }
  }

  bool taken(std::string_view candidate) const {
    bool found = false;
    if (!indexed_)
      found = reversed_.find(std::string(candidate.rbegin(), candidate.rend())) != std::string::npos;
    else if (lineFeeds_)
      found = index_.containsReversed(candidate);
    else
      found = names_.contains(candidate);
    if (found) return true;
    for (std::string_view name : long_)
      if (::memmem(name.data(), name.size(), candidate.data(), candidate.size())) return true;
    return false;
  }

 private:
  const bool lineFeeds_;
  std::string reversed_;
  SubstringIndex index_;
  const bool mayIndex_;
  mutable NameSubstrings names_;  // sorts its suffixes when a question first needs them
  const bool copyLong_;
  bool indexed_ = false;
  std::vector<std::string_view> long_;
  std::deque<std::string> copies_;  // the long names, when copied
};

namespace {

// The first of name, "Copy of " + name, "Copy (n) of " + name, n >= nextCopy,
// not taken in `names`. Every n in [2, nextCopy) must be known to be taken
// already; nextCopy is advanced to the n returned, as the taken names only
// ever grow.
std::string FirstFreeName(const SiblingNames& names, std::string_view name, std::int64_t& nextCopy) {
  if (!names.taken(name)) return std::string(name);
  std::string candidate = "Copy of " + std::string(name);
  if (!names.taken(candidate)) return candidate;
  for (;; ++nextCopy) {
    candidate = "Copy (" + std::to_string(nextCopy) + ") of " + std::string(name);
    if (!names.taken(candidate)) return candidate;
  }
}

}  // namespace

SiblingNamer::SiblingNamer(bool lineFeeds, bool mayIndex, bool copyLong)
    : names_(std::make_unique<SiblingNames>(lineFeeds, mayIndex, copyLong)) {}
SiblingNamer::~SiblingNamer() = default;
SiblingNamer::SiblingNamer(SiblingNamer&&) noexcept = default;
SiblingNamer& SiblingNamer::operator=(SiblingNamer&&) noexcept = default;

void SiblingNamer::add(std::string_view name) { names_->add(name); }

std::optional<std::string> SiblingNamer::freeNameFor(std::string_view name) {
  if (!names_->taken(name)) return std::nullopt;
  auto it = nextCopy_.try_emplace(std::string(name), 2).first;
  return FirstFreeName(*names_, name, it->second);
}

}  // namespace varnok
