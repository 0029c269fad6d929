#include "platform/posix/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "common/ini_file.h"
#include "platform/runtime_dir.h"
#include "platform/safe_write.h"

namespace varnok::platform {
namespace {

constexpr const char* kSection = "Varnok";

// A settings file is text with the section header. Lines that are no INI
// line (a stray line typed by hand) are ignored and kept, as the profile
// functions do; a file without the section or with NUL bytes is not ours.
bool LooksDamaged(const std::string& bytes) {
  if (bytes.find('\0') != std::string::npos) return true;
  return !bytes.empty() && !IniFile::parse(bytes).hasSection(kSection);
}

// "<path>.damaged", else "<path>.damaged-2", "-3", ...: each damaged file
// keeps its own copy.
std::string FreeDamagedName(const std::string& path) {
  std::string name = path + ".damaged";
  for (int n = 2; ::access(name.c_str(), F_OK) == 0 || errno != ENOENT; ++n) {
    if (n > 1000) break;
    name = path + ".damaged-" + std::to_string(n);
  }
  return name;
}

// Takes the writers' lock on `fd`, waiting at most `limit`: a process that
// holds it for ever must not freeze the program (closing the editor writes
// settings). False when it is still held then. A lock the file system does
// not offer is gone without, as before.
//
// The wait is a blocking flock in a helper thread, so that the kernel wakes
// it as soon as the lock is free (polling would lose to the other writers).
// A helper whose wait was given up releases the lock when it gets it.
bool LockWithin(int fd, std::chrono::milliseconds limit) {
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  if (errno != EWOULDBLOCK) return true;
  if (limit.count() <= 0) return false;
  struct Wait {
    std::mutex mutex;
    std::condition_variable done;
    bool locked = false;
    bool givenUp = false;
  };
  auto wait = std::make_shared<Wait>();
  const int shared = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);  // the same open file: the same lock
  if (shared < 0) return false;
  std::thread([wait, shared] {
    while (::flock(shared, LOCK_EX) != 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> hold(wait->mutex);
    if (wait->givenUp) ::flock(shared, LOCK_UN);
    wait->locked = true;
    ::close(shared);
    wait->done.notify_one();
  }).detach();
  std::unique_lock<std::mutex> hold(wait->mutex);
  if (wait->done.wait_for(hold, limit, [&] { return wait->locked; })) return true;
  wait->givenUp = true;
  return false;
}

class FileSettingsStore : public SettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}

  bool keyExists() const override {
    refresh();
    return state_ == State::Good && ini_.hasSection(kSection);
  }

  std::optional<std::string> readString(const std::string& name) const override {
    refresh();
    if (state_ != State::Good) return std::nullopt;
    auto v = ini_.get(kSection, name);
    if (!v) return std::nullopt;
    return UnescapeSettingText(*v);
  }

  std::optional<std::int32_t> readInt(const std::string& name) const override {
    refresh();
    if (state_ != State::Good) return std::nullopt;
    auto v = ini_.get(kSection, name);
    if (!v || v->empty()) return std::nullopt;
    const char* first = v->data() + (v->front() == '+' ? 1 : 0);
    const char* last = v->data() + v->size();
    std::int32_t n = 0;
    auto [end, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || end != last) return std::nullopt;
    return n;
  }

  std::string write(const std::vector<SettingWrite>& values) override {
    return modify([&](IniFile& ini) {
      for (const auto& w : values) {
        std::string text = std::holds_alternative<std::int32_t>(w.value)
                               ? std::to_string(std::get<std::int32_t>(w.value))
                               : EscapeSettingText(std::get<std::string>(w.value));
        if (!ini.set(kSection, w.name, text)) return "Invalid setting name '" + w.name + "'";
      }
      return std::string();
    });
  }

  std::string remove(const std::string& name) override {
    return modify([&](IniFile& ini) {
      ini.removeKey(kSection, name);
      return std::string();
    });
  }

 private:
  enum class State { Missing, Good, Damaged, Unreadable };

  // Re-reads the file when another writer replaced it since the last look.
  void refresh() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0) {
      state_ = errno == ENOENT ? State::Missing : State::Unreadable;
      ini_ = IniFile("\n");
      seen_ = {};
      return;
    }
    Stamp now{st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    if (now == seen_ && state_ != State::Missing) return;
    std::string bytes;
    if (!ReadWholeFile(path_, bytes)) {
      state_ = State::Unreadable;
      return;
    }
    seen_ = now;
    if (LooksDamaged(bytes)) {
      state_ = State::Damaged;
      damagedBytes_ = std::move(bytes);
      return;
    }
    state_ = State::Good;
    ini_ = IniFile::parse(bytes, "\n");
  }

  template <typename Change>
  std::string modify(Change change) {
    std::filesystem::path dir = std::filesystem::path(path_).parent_path();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    int lock = ::open((path_ + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0600);
    if (lock < 0) {
      std::string error = path_ + ".lock: " + std::strerror(errno);
      tellWriteFailure(error);
      return error;
    }
    // After one wait in vain, the writes that follow (the rest of a close)
    // only try once, until the lock is free again.
    if (!LockWithin(lock, lockWasHeld_ ? std::chrono::milliseconds(0) : kLockWait)) {
      lockWasHeld_ = true;
      ::close(lock);
      std::string error = path_ + ".lock: another program has held the settings lock for more than " +
                          std::to_string(kLockWait.count() / 1000) + " seconds; the settings were not saved";
      tellWriteFailure(error);
      return error;
    }
    lockWasHeld_ = false;
    seen_ = {};  // always re-read under the lock
    refresh();
    std::string error;
    if (state_ == State::Unreadable) {
      error = path_ + ": cannot be read; settings were not written";
    } else {
      if (state_ == State::Damaged) {
        // Keep the damaged file as it is, beside the new one.
        const std::string copy = FreeDamagedName(path_);
        WriteResult saved = SafeWriteFile(copy, damagedBytes_);
        if (!saved) error = saved.error;
        if (saved)
          addNotice("The settings file " + path_ +
                    " was damaged; its settings could not be used. It was kept as " + copy +
                    " and the settings were saved anew.");
        ini_ = IniFile("\n");
      }
      if (error.empty()) {
        IniFile next = ini_;
        error = change(next);
        if (error.empty()) {
          WriteResult r = SafeWriteFile(path_, next.serialize());
          if (!r) error = r.error;
        }
      }
    }
    seen_ = {};
    ::close(lock);
    if (!error.empty()) tellWriteFailure(error);
    // A failure after a good write is news again.
    if (error.empty()) writeFailureTold_ = false;
    return error;
  }

  void tellWriteFailure(const std::string& error) {
    if (writeFailureTold_) return;
    writeFailureTold_ = true;
    addNotice("The settings cannot be saved: " + error);
  }

  std::string takeNotice() override { return std::exchange(notice_, std::string()); }

  struct Stamp {
    ino_t ino = 0;
    off_t size = -1;
    time_t sec = 0;
    long nsec = 0;
    bool operator==(const Stamp&) const = default;
  };

  void addNotice(const std::string& text) { notice_ = notice_.empty() ? text : notice_ + "\r" + text; }

  static constexpr std::chrono::milliseconds kLockWait{2000};

  std::string path_;
  std::string notice_;
  bool writeFailureTold_ = false;
  bool lockWasHeld_ = false;
  mutable State state_ = State::Missing;
  mutable IniFile ini_{"\n"};
  mutable std::string damagedBytes_;
  mutable Stamp seen_;
};

}  // namespace

std::string EscapeSettingText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    bool edge = i == 0 || i + 1 == text.size();
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (edge && (c == ' ' || c == '\t'))
      out += c == ' ' ? "\\s" : "\\t";
    else
      out += c;
  }
  return out;
}

std::string UnescapeSettingText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    switch (text[++i]) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 's':
        out += ' ';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += text[i];
    }
  }
  return out;
}

std::unique_ptr<SettingsStore> OpenSettingsFile(const std::string& path) {
  return std::make_unique<FileSettingsStore>(path);
}

std::unique_ptr<SettingsStore> OpenVarnokSettings() {
  return OpenSettingsFile(SettingsDir() + "/Varnok.conf");
}

}  // namespace varnok::platform
