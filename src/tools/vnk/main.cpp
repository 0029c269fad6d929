#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <new>
#include <streambuf>
#include <vector>

#include "vnk_command.h"

namespace varnok::vnk {
namespace {
std::map<std::string, Setup>& Registry() {
  static std::map<std::string, Setup> commands;
  return commands;
}
}  // namespace

Registration::Registration(const char* name, Setup setup) { Registry().emplace(name, std::move(setup)); }

namespace {

// Standard output, buffered, remembering why a write failed: the stream only
// knows that it failed.
class StandardOutput : public std::streambuf {
 public:
  StandardOutput() : buffer_(1 << 16) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }
  int error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (sync() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  int sync() override {
    const char* p = pbase();
    while (p < pptr() && !error_) {
      ssize_t n = ::write(STDOUT_FILENO, p, static_cast<std::size_t>(pptr() - p));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) error_ = n < 0 ? errno : EIO;
      if (n > 0) p += n;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ ? -1 : 0;
  }

 private:
  std::vector<char> buffer_;
  int error_ = 0;
};

// Never destroyed: the C++ library flushes std::cout once more at exit,
// after function-local objects are gone.
StandardOutput& Output() {
  static StandardOutput* output = new StandardOutput;
  return *output;
}

// Output that did not arrive (a full disk, a closed pipe) is a failure, not
// success: flushes standard output and names the system's reason.
int FinishOutput() {
  std::cout.flush();
  if (std::cout && !Output().error()) return 0;
  std::cerr << "vnk: cannot write the output: " << std::strerror(Output().error() ? Output().error() : EIO)
            << "\n";
  return 1;
}

}  // namespace
}  // namespace varnok::vnk

namespace {

int Run(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  } catch (const varnok::vnk::Failure& e) {
    std::cout.flush();  // what was printed before the failure comes first
    std::cerr << "vnk: " << e.what() << "\n";
    return 1;
  } catch (const std::bad_alloc&) {
    // Files are replaced only as a whole, so nothing was written.
    std::cout.flush();
    std::cerr << "vnk: not enough memory for this input; nothing was written\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::cout.rdbuf(&varnok::vnk::Output());
  CLI::App app{"vnk: lists, converts, assembles and runs Varnok configurations"};
  app.require_subcommand(1);
  for (auto& [name, setup] : varnok::vnk::Registry()) setup(app);
  int rc = Run(app, argc, argv);
  int output = varnok::vnk::FinishOutput();
  return rc != 0 ? rc : output;
}
