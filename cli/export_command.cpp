// zenfaro-cli export FILE [--force]: "E&xport Commentary" to FILE. An
// existing FILE is replaced only with --force, which answers the dialog's
// overwrite question. Prints the closing message.
#include <iostream>

#include "cli/cli_common.h"
#include "editor/exchange_commands.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string file;
  bool force = false;
};

int run_export(const Options& options, const Arguments& args) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  const fs::path target = exchange_file_path(session.model.layout(), args.file);
  if (default_env().file_info(target).exists && !args.force) {
    return fail(target.u8string() + " already exists; add --force to replace it.");
  }
  const ExportOutcome outcome = export_records(session.model, target.u8string());
  if (!outcome.done) return fail(outcome.message.text);
  std::cout << outcome.message.text << "\n";
  return session.exit_status();
}

}  // namespace

void add_export_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("export", "export every stored record to the exchange file FILE (.CMX)");
  auto args = std::make_shared<Arguments>();
  command->add_option("FILE", args->file, "the exchange file, relative to the working folder")->required();
  command->add_flag("--force", args->force, "replace FILE when it exists");
  command->callback([&options, args] { options.exit_status = run_export(options, *args); });
}

}  // namespace zenfaro::cli
