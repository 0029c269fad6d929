// vnk schedule FIELD VALUE: verifies one schedule field as the Schedule page
// does and prints the verified value and, on a second line, the number of
// corrections.
#include <iostream>
#include <string>
#include <vector>

#include "properties/schedule.h"
#include "vnk_command.h"

namespace {

const varnok::vnk::Registration reg{
    "schedule", [](CLI::App& app) {
      auto* cmd = app.add_subcommand("schedule", "Verify a schedule field and print the corrected value");
      auto field_name = std::make_shared<std::string>();
      auto value = std::make_shared<std::string>();
      std::vector<std::string> names;
      for (const auto& info : varnok::properties::ScheduleFieldInfos()) names.emplace_back(info.name);
      cmd->add_option("FIELD", *field_name, "minute, hour, day, month or weekday")
          ->required()
          ->check(CLI::IsMember(names));
      cmd->add_option("VALUE", *value, "the field's text as typed")->required();
      cmd->callback([field_name, value] {
        varnok::properties::ScheduleField field{};
        varnok::properties::ScheduleFieldByName(*field_name, field);
        int corrections = 0;
        std::string verified = varnok::properties::VerifyScheduleField(field, *value, corrections);
        std::cout << verified << "\n" << corrections << "\n";
      });
    }};

}  // namespace
