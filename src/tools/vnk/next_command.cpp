// vnk next FILE [--from TIME] [-n N]: the next N scheduled runs of the
// connections of FILE, as the companion would start them, with their paths.
#include <ctime>
#include <iostream>

#include "run/schedule_agenda.h"
#include "terminal_text.h"
#include "vnk_command.h"
#include "vnk_config.h"

namespace {

struct NextArgs {
  std::string file, from;
  int count = 10;
};

const varnok::vnk::Registration reg{
    "next", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("next", "Print the next scheduled runs with their connection paths");
      auto a = std::make_shared<NextArgs>();
      cmd->add_option("FILE", a->file, "the configuration file (.vnk)")->required();
      cmd->add_option("--from", a->from, "local time to start from, \"YYYY-MM-DD HH:MM\" (default: now)");
      cmd->add_option("-n", a->count, "how many runs (default 10)")->check(CLI::Range(1, 1000000));
      cmd->footer(
          "One line per run: local date and time, a tab, the connection's path (as NODE of vnk run; "
          "control characters in names shown as \\xHH). "
          "Runs after the starting minute are listed. Schedules that cannot run are named on standard "
          "error.");
      cmd->callback([a] {
        std::int64_t after = varnok::properties::SystemWallClock().now();
        if (!a->from.empty()) {
          std::optional<varnok::properties::CalendarMinute> m =
              varnok::properties::ParseCalendarMinute(a->from);
          if (!m)
            throw varnok::vnk::Failure("--from: \"" + a->from + "\" is not a time \"YYYY-MM-DD HH:MM\"");
          // Runs of the starting minute itself count: start just before it.
          std::optional<std::int64_t> first = varnok::properties::FirstInstantOf(*m);
          if (!first) first = varnok::properties::FirstInstantOf(varnok::properties::MinuteAfter(*m));
          if (!first)
            throw varnok::vnk::Failure("--from: " + a->from + " does not exist in the local time zone");
          after = *first - 1;
        }
        varnok::ConnectionTree tree;
        varnok::vnk::LoadTree(tree, a->file);
        varnok::run::ScheduleCollection c = varnok::run::CollectSchedules(tree);
        for (const auto& p : c.problems)
          std::cerr << "vnk: " << varnok::vnk::EscapeControls(p.path)
                    << ": the schedule cannot run: " << p.problem << "\n";
        int printed = 0;
        while (printed < a->count) {
          std::optional<varnok::run::DueRuns> due = varnok::run::NextDueRuns(c.entries, after);
          if (!due) break;
          const std::string when = varnok::properties::FormatCalendarMinute(due->minute);
          for (std::size_t i : due->entries) {
            if (printed == a->count) break;
            std::cout << when << "\t" << varnok::vnk::EscapeControls(c.entries[i].path) << "\n";
            ++printed;
          }
          after = due->at;
        }
        if (printed == 0) std::cerr << "vnk: no scheduled runs\n";
      });
    }};

}  // namespace
