// zenfaro-cli restore [--yes]: puts commdb.old (the data file as it was
// before the last save or delete) back as the database, with an index
// rebuilt by walking it, and keeps the current data file as commdb.old, so
// that a second restore goes forward again. Says what it will do, with the
// record counts before and after, and asks (y/N on standard input) unless
// --yes. In the host layout it works on the plug-in's database.
#include <iostream>

#include "cli/cli_common.h"
#include "core/restore_backup.h"

namespace zenfaro::cli {
namespace {

int run_restore(const Options& options, bool yes) {
  Session session(options);
  session.prompt.yes_to_all = yes;
  EditorModel& model = session.model;
  RestorePlan plan;
  Status status = plan_restore(model.database(), &plan);
  if (!status.is_ok()) return fail(status.message());
  Question question;
  question.caption = "Restore";
  question.icon = Icon::question;
  question.details = "The database holds " + std::to_string(plan.records_now) +
                     " records now; commdb.old, the data file as it was before the last save or deletion of a "
                     "record, holds " +
                     std::to_string(plan.records_restored) +
                     ".\nRestoring makes commdb.old the database again, with its index rebuilt, and keeps the "
                     "current data file as commdb.old, so that a second restore goes forward again.\n";
  question.text = "Restore commdb.old?";
  if (!session.prompt.ask(question)) return fail("The restore was not confirmed; the database was not changed.");
  status = restore_backup(model.mutable_database(), plan);
  if (!status.is_ok()) return fail(status.message());
  std::cout << "Restored commdb.old: the database now holds " << model.record_count()
            << " records, and the data file it replaced is commdb.old now.\n";
  return session.exit_status();
}

}  // namespace

void add_restore_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("restore",
                                         "put commdb.old back as the database (the state before the last "
                                         "save or delete); the current data file becomes commdb.old");
  auto yes = std::make_shared<bool>(false);
  command->add_flag("--yes", *yes, "restore without asking");
  command->callback([&options, yes] { options.exit_status = run_restore(options, *yes); });
}

}  // namespace zenfaro::cli
