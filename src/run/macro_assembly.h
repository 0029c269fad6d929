#pragma once
// Assembling the macro of a run: the connection's own text and, for a branch,
// its ancestors' macros in front of it, the top-most ancestor first.
#include <string>
#include <vector>

#include "run/macro_text.h"

namespace varnok::run {

// One connection that contributes a macro: its name and its macro text in
// plain (decoded) form.
struct MacroSource {
  std::string name;
  std::string text;
};

struct AssembledMacro {
  MacroLines lines;
  // The contributing connections' names, top-most first, each followed by
  // "_"; ancestors with an empty name add nothing, the connection itself
  // always adds its name and "_".
  std::string logName;
};

// `own` is the run connection with the text to run (cut at the cursor, the
// editor's unapplied text, or its stored macro, as the caller decides);
// `ancestorsRootFirst` are the connections above it, the child of the top
// node first, with their stored macros (empty when only the connection's own
// macro is run; the top node never contributes). "$CONNECTION$" in each macro
// stands for the first word of the name of the connection owning it.
AssembledMacro AssembleMacro(const std::vector<MacroSource>& ancestorsRootFirst, const MacroSource& own);

}  // namespace varnok::run
