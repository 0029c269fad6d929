#pragma once
// The program's settings key ("Software\Zelmora\Varnok"): named string and
// 32-bit integer values, names compared without regard to letter case.
// On POSIX it is an INI file under $XDG_CONFIG_HOME; on Windows the registry.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace varnok::platform {

using SettingValue = std::variant<std::string, std::int32_t>;

struct SettingWrite {
  std::string name;
  SettingValue value;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Whether the key exists at all (a damaged or unreadable store reads as missing).
  virtual bool keyExists() const = 0;
  // A missing value, or one that does not hold the asked type, gives nullopt.
  virtual std::optional<std::string> readString(const std::string& name) const = 0;
  virtual std::optional<std::int32_t> readInt(const std::string& name) const = 0;
  // Writes the named values (creating the key when missing) and leaves every
  // other value as it is, also values another process wrote meanwhile.
  // Returns an error text, empty on success.
  virtual std::string write(const std::vector<SettingWrite>& values) = 0;
  virtual std::string remove(const std::string& name) = 0;

  // What the user should hear about the store once per session, then "": a
  // damaged file that was set aside, or the first failure to write it.
  // Empty when there is nothing new to tell.
  virtual std::string takeNotice() { return {}; }

  std::string readString(const std::string& name, const std::string& fallback) const {
    return readString(name).value_or(fallback);
  }
  std::int32_t readInt(const std::string& name, std::int32_t fallback) const {
    return readInt(name).value_or(fallback);
  }
  std::string writeString(const std::string& name, const std::string& value) {
    return write({{name, value}});
  }
  std::string writeInt(const std::string& name, std::int32_t value) { return write({{name, value}}); }
};

// The store of the key "Software\Zelmora\Varnok" for the current user.
std::unique_ptr<SettingsStore> OpenVarnokSettings();

}  // namespace varnok::platform
