// The INI reader takes files written by other programs: any bytes must parse,
// serialise back unchanged, and take a write without disturbing other lines.
#include "common/ini_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  varnok::IniFile ini = varnok::IniFile::parse(text);
  if (ini.serialize() != text) std::abort();
  for (const std::string& section : ini.sections())
    for (const std::string& key : ini.keys(section))
      if (!ini.get(section, key)) std::abort();
  if (ini.set("Corvane", "VTColor", "1,2,3,4,5,6")) {
    varnok::IniFile again = varnok::IniFile::parse(ini.serialize());
    if (again.get("corvane", "vtcolor") != "1,2,3,4,5,6") std::abort();
  }
  return 0;
}
