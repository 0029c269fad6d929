// The INI reader takes files written by other programs: any bytes must parse,
// serialise back unchanged, and take a write without disturbing other lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  varnok::IniFile ini = varnok::IniFile::Parse(text);
  if (ini.Serialize() != text) std::abort();
  for (const std::string& section : ini.Sections())
    for (const std::string& key : ini.Keys(section))
      if (!ini.Get(section, key)) std::abort();
  if (ini.Set("Corvane", "VTColor", "1,2,3,4,5,6")) {
    varnok::IniFile again = varnok::IniFile::Parse(ini.Serialize());
    if (again.Get("corvane", "vtcolor") != "1,2,3,4,5,6") std::abort();
  }
  return 0;
}
