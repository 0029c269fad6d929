#pragma once
// A large, realistic configuration for the benchmarks: connections up to 10
// levels deep, names of 10-30 bytes, macros of about 200 stored bytes,
// colours, schedules and time stamps filled.
#include <cstdlib>
#include <random>
#include <string>

#include "common/stored_text.h"
#include "model/connection_tree.h"

namespace varnok::bench {

// The number of connections of a benchmark: VARNOK_BENCH_CONNECTIONS when
// set (e.g. 1000000 for the 367 MB configuration), else `fallback`.
inline int Connections(int fallback) {
  const char* env = std::getenv("VARNOK_BENCH_CONNECTIONS");
  const int n = env ? std::atoi(env) : 0;
  return n > 0 ? n : fallback;
}

inline std::string RandomWord(std::mt19937& rng, int min, int max) {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_. ";
  std::string s(
      static_cast<std::size_t>(min + static_cast<int>(rng() % static_cast<unsigned>(max - min + 1))), ' ');
  for (char& c : s) c = letters[rng() % (sizeof letters - 1)];
  s[0] = 'H';  // never a separator, never blank at the ends
  s.back() = 'x';
  return s;
}

inline rVTNodeData RandomConnection(std::mt19937& rng) {
  rVTNodeData d;
  d.Name = RandomWord(rng, 10, 30);
  std::string macro = "SEND \"ssh $user$@" + RandomWord(rng, 8, 16) + "\"\r\nWAIT \"assword:\"\r\nSEND \"" +
                      RandomWord(rng, 8, 12) + "\"\r\nWAIT \"$ \"\r\nSEND \"cd /var/log\"\r\n";
  d.Macro = EncodeText(macro);
  while (d.Macro.size() < 200) d.Macro += "x";
  d.PopupText = EncodeText("Rack " + std::to_string(rng() % 40));
  d.Schedule = "=0 " + std::to_string(rng() % 24) + " * * 1,2,3,4,5";
  d.LastUpdated = "Tuesday, 08-Dec-2026 09:05:07";
  for (int i = 0; i < 18; ++i) d.Colors += (i ? ":" : "") + std::to_string(rng() % 256);
  d.NodeType = StoredNodeType::Macro;
  d.StartLogging = (rng() & 1) != 0;
  return d;
}

// `count` connections below the top node; levels wander between 1 and 10.
// The nodes live in the tree's memory, as those of a loaded file do, and go
// back to the system with the tree.
inline void GenerateTree(ConnectionTree& tree, int count, unsigned seed = 42) {
  std::mt19937 rng(seed);
  SubtreeBuilder builder(tree.memory());
  TreeNode* last = builder.root();
  int level = 0;
  for (int i = 0; i < count; ++i) {
    int next = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::min(level + 1, 10)));
    if (level < 10 && rng() % 3 == 0) next = level + 1;  // reach the full depth often
    TreeNode* parent = last;
    for (int up = level - next + 1; up > 0; --up) parent = parent->parent();
    last = builder.append(parent, RandomConnection(rng));
    level = next;
  }
  tree.insertRange(tree.top(), tree.top()->childCount(), builder.finish());
}

}  // namespace varnok::bench
