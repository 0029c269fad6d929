#include "model/connect_lines.h"

#include <utility>
#include <vector>

namespace varnok {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool ContainsNoCase(std::string_view text, std::string_view lowerNeedle) {
  for (std::size_t i = 0; i + lowerNeedle.size() <= text.size(); ++i)
    if (EqualsNoCase(text.substr(i, lowerNeedle.size()), lowerNeedle)) return true;
  return false;
}

// The first word of `s` (up to a blank), removed from `s`.
std::string_view TakeWord(std::string_view& s) {
  s = Trimmed(s);
  std::size_t end = 0;
  while (end < s.size() && !IsBlank(s[end])) ++end;
  std::string_view word = s.substr(0, end);
  s.remove_prefix(end);
  return word;
}

// The first string literal ('...' or "...") of `s`; false when there is none.
bool FirstLiteral(std::string_view s, std::string_view& literal) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\'' && s[i] != '"') continue;
    const std::size_t end = s.find(s[i], i + 1);
    literal = s.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
    return true;
  }
  return false;
}

void Append(std::string& out, std::string_view name) {
  if (name.empty()) return;
  out.append(name);
  out.push_back('\n');
}

// "host:port" without the port; "[v6]:port" without brackets and port; a
// bare IPv6 address as it is.
std::string_view WithoutPort(std::string_view host) {
  if (!host.empty() && host.front() == '[') {
    const std::size_t close = host.find(']');
    return close == std::string_view::npos ? host.substr(1) : host.substr(1, close - 1);
  }
  const std::size_t colon = host.find(':');
  if (colon != std::string_view::npos && host.find(':', colon + 1) == std::string_view::npos)
    return host.substr(0, colon);
  return host;
}

// The emulator's connection string: a host and switches.
void ReadConnectionString(std::string_view s, std::string& hosts, std::string& users) {
  bool haveHost = false;
  while (true) {
    std::string_view word = TakeWord(s);
    if (word.empty()) break;
    if (word.front() != '/') {
      if (!haveHost) Append(hosts, WithoutPort(word));
      haveHost = true;
    } else if (word.size() > 6 && EqualsNoCase(word.substr(0, 6), "/user=")) {
      Append(users, word.substr(6));
    } else if (word.size() > 3 && EqualsNoCase(word.substr(0, 3), "/c=")) {
      hosts.append("COM");
      Append(hosts, word.substr(3));
    }
  }
}

// A command typed on a jump host: "ssh [options] [user@]host [command]" or
// "telnet host [port]".
void ReadShellCommand(std::string_view s, std::string& hosts, std::string& users) {
  const std::string_view program = TakeWord(s);
  if (EqualsNoCase(program, "telnet")) {
    std::string_view word = TakeWord(s);
    while (!word.empty() && word.front() == '-') word = TakeWord(s);
    Append(hosts, word);
    return;
  }
  if (!EqualsNoCase(program, "ssh")) return;
  static constexpr std::string_view kWithArgument = "bcDEeFIiJLlmOopQRSWw";
  for (std::string_view word = TakeWord(s); !word.empty(); word = TakeWord(s)) {
    if (word.front() == '-' && word.size() >= 2) {
      const char option = word[1];
      if (kWithArgument.find(option) == std::string_view::npos) continue;
      std::string_view argument = word.size() > 2 ? word.substr(2) : TakeWord(s);
      if (option == 'l') Append(users, argument);
      continue;
    }
    const std::size_t at = word.rfind('@');
    if (at != std::string_view::npos) {
      Append(users, word.substr(0, at));
      word.remove_prefix(at + 1);
    }
    Append(hosts, WithoutPort(word));
    return;
  }
}

}  // namespace

void ReadConnectTargets(std::string_view macro, std::string& hosts, std::string& users) {
  std::vector<std::pair<std::string_view, std::string_view>> literals;  // variable, its last literal
  bool afterLoginPrompt = false;
  while (!macro.empty()) {
    const std::size_t eol = macro.find('\n');
    std::string_view line = macro.substr(0, eol);
    macro.remove_prefix(eol == std::string_view::npos ? macro.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trimmed(line);
    if (line.empty() || line.front() == ';') continue;

    const std::size_t equals = line.find('=');
    std::string_view rest = line;
    const std::string_view command = TakeWord(rest);
    std::string_view literal;
    const std::string_view name = equals == std::string_view::npos ? "" : Trimmed(line.substr(0, equals));
    if (IsIdentifier(name)) {
      // "name=value" or "name = value": remember a literal value.
      if (FirstLiteral(line.substr(equals + 1), literal)) literals.emplace_back(name, literal);
      afterLoginPrompt = false;
      continue;
    }
    const bool wasAfterPrompt = std::exchange(afterLoginPrompt, false);
    if (EqualsNoCase(command, "connect")) {
      if (FirstLiteral(rest, literal)) {
        ReadConnectionString(literal, hosts, users);
      } else {
        const std::string_view variable = TakeWord(rest);
        for (auto it = literals.rbegin(); it != literals.rend(); ++it) {
          if (it->first != variable) continue;
          ReadConnectionString(it->second, hosts, users);
          break;
        }
      }
    } else if (EqualsNoCase(command, "wait")) {
      afterLoginPrompt = FirstLiteral(rest, literal) &&
                         (ContainsNoCase(literal, "ogin") || ContainsNoCase(literal, "sername"));
    } else if (EqualsNoCase(command, "sendln") || EqualsNoCase(command, "send")) {
      if (!FirstLiteral(rest, literal)) continue;
      if (wasAfterPrompt)
        Append(users, Trimmed(literal));
      else
        ReadShellCommand(literal, hosts, users);
    }
  }
}

}  // namespace varnok
