// zenfaro-cli export FILE [--force]: "E&xport Commentary" to FILE. An
// existing FILE is replaced only with --force, which answers the dialog's
// overwrite question. Prints the closing message.
#include <iostream>

#include "cli/cli_common.h"
#include "exchange/export_commentary.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string file;
  bool force = false;
};

int run_export(const Options& options, const Arguments& args) {
  Session session(options);
  const Database& db = session.model.database();
  const fs::path target = exchange_file_path(db.layout, args.file);
  std::error_code ec;
  if (fs::exists(target, ec) && !args.force) {
    return fail(target.u8string() + " already exists; add --force to replace it.");
  }
  std::int32_t records = 0;
  const Status status = export_commentary(db, target, &records);
  if (!status.is_ok()) return fail(status.message());
  std::cout << export_message(records, target.u8string()) << "\n";
  return session.prompt.errors > 0 ? kExitFailed : kExitDone;
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
