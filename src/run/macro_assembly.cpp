#include "run/macro_assembly.h"

namespace varnok::run {

AssembledMacro AssembleMacro(const std::vector<MacroSource>& ancestorsRootFirst, const MacroSource& own) {
  AssembledMacro result;
  for (const MacroSource& ancestor : ancestorsRootFirst) {
    MacroLines lines = SplitLines(ReplaceConnectionVariable(ancestor.name, ancestor.text));
    result.lines.insert(result.lines.end(), lines.begin(), lines.end());
    if (!ancestor.name.empty()) result.logName += ancestor.name + "_";
  }
  MacroLines lines = SplitLines(ReplaceConnectionVariable(own.name, own.text));
  result.lines.insert(result.lines.end(), lines.begin(), lines.end());
  result.logName += own.name + "_";
  return result;
}

}  // namespace varnok::run
