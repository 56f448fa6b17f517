// zenfaro-cli check: walks commdb.dat by the reading rules and compares the
// start of every record with commdb.idx.
#include <iostream>

#include "cli/cli_common.h"
#include "core/check_database.h"
#include "core/database_state.h"

namespace zenfaro::cli {
namespace {

int run_check(const Options& options) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  Database& db = session.model.mutable_database();
  DatabaseCheck check;
  const Status error = read_one_state(db, [&] {
    Status read;
    check = check_database(db, &read);
    return read;
  });
  if (!error.is_ok()) return fail(error.message());
  if (!check.findings.empty()) {
    return fail("commdb.dat and commdb.idx do not match: " + check.findings.front().text + ".");
  }
  std::cout << "commdb.dat and commdb.idx match: " << check.records_walked << " records.\n";
  return session.exit_status();
}

}  // namespace

void add_check_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("check", "compare commdb.idx with a walk of commdb.dat");
  command->callback([&options] { options.exit_status = run_check(options); });
}

}  // namespace zenfaro::cli
