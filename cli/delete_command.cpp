// zenfaro-cli delete N: under the database's lock, shows record N as it
// stands and deletes it, as "&Delete Record" answered with Yes does.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

int run_delete(const Options& options, std::int32_t n) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  EditorModel& model = session.model;
  const auto check = [&] {
    if (n > model.record_count()) {
      fail("There is no record " + std::to_string(n) + ": the database holds " + std::to_string(model.record_count()) +
           " records. Nothing was deleted.");
      return false;
    }
    if (!model.working_record().empty()) return true;
    fail("Record " + std::to_string(n) +
         " has no entries, and the editor deletes only records that have "
         "some. Nothing was deleted.");
    return false;
  };
  if (!model.change_stored(n, WriteMode::remove, check)) return kExitFailed;
  std::cout << "Record " << n << " deleted; the database holds " << model.record_count() << " records.\n";
  return kExitDone;
}

}  // namespace

void add_delete_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("delete", "delete record N");
  auto record = std::make_shared<std::int32_t>(0);
  add_record_argument(*command, *record);
  command->callback([&options, record] { options.exit_status = run_delete(options, *record); });
}

}  // namespace zenfaro::cli
