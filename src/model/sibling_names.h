#pragma once
// One sibling list named child by child, in order, by the naming rules: a
// child whose name occurs in the names before it (a plain, case-sensitive
// substring search of the list) takes the first free of "Copy of " + name,
// "Copy (2) of " + name, ... Used for the lists of a tree
// (ResolveSiblingNames, NameArrivals) and for lists read from a file one
// record at a time.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace varnok {

class SiblingNames;

class SiblingNamer {
 public:
  // `lineFeeds`: some name of the list holds a line feed; `mayIndex` false:
  // the list is always searched directly (a few searches in a long list cost
  // less than its index); `copyLong`: the names given do not outlive the call.
  explicit SiblingNamer(bool lineFeeds, bool mayIndex = true, bool copyLong = false);
  ~SiblingNamer();
  SiblingNamer(const SiblingNamer&) = delete;
  SiblingNamer& operator=(const SiblingNamer&) = delete;
  SiblingNamer(SiblingNamer&&) noexcept;
  SiblingNamer& operator=(SiblingNamer&&) noexcept;

  // The next name of the list, as the child ends up with it.
  void add(std::string_view name);
  // For a child checked against the names added so far: the name it must
  // take instead of `name`, or nullopt when `name` is free. The caller adds
  // the name the child ends up with.
  std::optional<std::string> freeNameFor(std::string_view name);

 private:
  std::unique_ptr<SiblingNames> names_;
  std::unordered_map<std::string, std::int64_t> nextCopy_;  // per name: the n to try next
};

}  // namespace varnok
