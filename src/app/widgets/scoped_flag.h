#pragma once
// Sets a flag for its lifetime and puts the earlier value back ("Loading"
// while the program fills controls, so that nothing counts as a user edit).
namespace varnok::app {

class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = old_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace varnok::app
