// zenfaro-cli import FILE [--yes]: "&Import Commentary" of FILE. Prints what
// the classification found, asks the confirmation on the terminal (y/N on
// standard input) unless --yes, and prints the outcome.
#include <iostream>

#include "cli/cli_common.h"
#include "editor/exchange_commands.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string file;
  bool yes = false;
};

int run_import(const Options& options, const Arguments& args) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  session.prompt.yes_to_all = args.yes;
  const std::string path = exchange_file_path(session.model.layout(), args.file).u8string();
  const ImportOutcome outcome = import_records(session.model, path);
  switch (outcome.result) {
    case ImportResult::completed:
      std::cout << "Imported " << path << "; the database now holds " << session.model.record_count() << " records.\n";
      return kExitDone;
    case ImportResult::declined: return fail("The import was not confirmed; the database was not changed.");
    case ImportResult::rejected:
    case ImportResult::refused:
    case ImportResult::failed: break;
  }
  return fail(outcome.message);
}

}  // namespace

void add_import_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("import", "import the exchange file FILE (.CMX) into the database");
  auto args = std::make_shared<Arguments>();
  command->add_option("FILE", args->file, "the exchange file, relative to the working folder")->required();
  command->add_flag("--yes", args->yes, "confirm the import without asking");
  command->callback([&options, args] { options.exit_status = run_import(options, *args); });
}

}  // namespace zenfaro::cli
