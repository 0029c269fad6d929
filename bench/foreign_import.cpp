// Reading other tools' connections: an OpenSSH config of 1,000 to 50,000
// hosts (every fifth a bastion that the next four jump through, a few
// wildcard blocks that apply to all) and a CSV table of as many rows, from
// the file on disk to the forest ready to be appended.
#include "files/foreign_import.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace varnok;

std::string WriteSource(const std::string& name, const std::string& text) {
  const std::string path = "/tmp/varnok-bench-" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

std::string SshConfig(int hosts) {
  std::string text = "Host *.lab\n  User ops\nHost *.corp !db*.corp\n  Port 2222\n";
  for (int i = 0; i < hosts; ++i) {
    const std::string name = "h" + std::to_string(i) + (i % 2 ? ".lab" : ".corp");
    text += "Host " + name + "\n  HostName 10." + std::to_string(i / 65536) + "." +
            std::to_string(i / 256 % 256) + "." + std::to_string(i % 256) + "\n";
    if (i % 5) text += "  ProxyJump h" + std::to_string(i - i % 5) + ".corp\n";
  }
  return text + "Host *\n  IdentityFile ~/.ssh/id_ed25519\n";
}

std::string CsvTable(int rows) {
  std::string text = "path,name,host,port,user,protocol\n";
  for (int i = 0; i < rows; ++i)
    text += "Site " + std::to_string(i % 20) + ",r" + std::to_string(i) + ",10.0." + std::to_string(i % 256) +
            ".1,22,admin," + (i % 3 ? "ssh" : "telnet") + "\n";
  return text;
}

void Read(benchmark::State& state, ForeignFormat format, const std::string& path) {
  const ForeignOptions options{"/nonexistent", "/nonexistent"};
  int connections = 0;
  for (auto _ : state) {
    ForeignImport found = ReadForeignSource(format, path, options);
    connections = found.connections;
    benchmark::DoNotOptimize(found.roots.data());
  }
  state.counters["connections"] = connections;
  state.SetItemsProcessed(state.iterations() * connections);
}

void BM_ReadSshConfig(benchmark::State& state) {
  const int hosts = static_cast<int>(state.range(0));
  Read(state, ForeignFormat::OpenSsh, WriteSource("ssh-" + std::to_string(hosts), SshConfig(hosts)));
}
BENCHMARK(BM_ReadSshConfig)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

void BM_ReadCsv(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  Read(state, ForeignFormat::Csv, WriteSource("csv-" + std::to_string(rows), CsvTable(rows)));
}
BENCHMARK(BM_ReadCsv)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
