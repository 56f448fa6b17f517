// zenfaro-cli delete N: shows record N and presses "&Delete Record",
// answering Yes.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

int run_delete(const Options& options, std::int32_t n) {
  Session session(options);
  EditorModel& model = session.model;
  const std::int32_t before = model.record_count();
  if (n > before) {
    return fail("There is no record " + std::to_string(n) + ": the database holds " + std::to_string(before) +
                " records. Nothing was deleted.");
  }
  model.set_record_text(std::to_string(n));
  if (model.working_record().empty()) {
    return fail("Record " + std::to_string(n) +
                " has no entries, and the editor deletes only records that have "
                "some. Nothing was deleted.");
  }
  session.prompt.yes_to_all = true;
  model.delete_record();
  if (session.prompt.errors > 0) return kExitFailed;
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
