// zenfaro-cli export FILE [--force] [--records RECORDS]: "E&xport
// Commentary" to FILE. An existing FILE is replaced only with --force, which
// answers the dialog's overwrite question. With --records only the records
// of RECORDS ("3,7-9,12", see cli/record_list.h), in that order; a malformed
// RECORDS is a usage error, a number beyond the records is refused. Prints
// the closing message.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/record_list.h"
#include "editor/exchange_commands.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string file;
  bool force = false;
  std::string records;  // RECORDS, when given
};

int run_export(const Options& options, const Arguments& args) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  const fs::path target = exchange_file_path(session.model.layout(), args.file);
  if (default_env().file_info(target).exists && !args.force) {
    return fail(target.u8string() + " already exists; add --force to replace it.");
  }
  std::optional<std::vector<std::int32_t>> selection;
  if (!args.records.empty()) {
    std::string ignored;  // the list was checked as it was read
    selection = records_of(*parse_record_list(args.records, &ignored), session.model.record_count());
  }
  const ExportOutcome outcome = export_records(session.model, target.u8string(), selection ? &*selection : nullptr);
  if (!outcome.done) return fail(outcome.message.text);
  std::cout << outcome.message.text << "\n";
  return session.exit_status();
}

}  // namespace

void add_export_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand(
      "export", "export every stored record (or those of --records) to the exchange file FILE (.CMX)");
  auto args = std::make_shared<Arguments>();
  command->add_option("FILE", args->file, "the exchange file, relative to the working folder")->required();
  command->add_flag("--force", args->force, "replace FILE when it exists");
  command->add_option("--records", args->records, "export only these records, in this order (such as 3,7-9,12)")
      ->option_text("RECORDS")
      ->check(CLI::Validator(
          [](std::string& text) {
            std::string problem;
            return parse_record_list(text, &problem) ? std::string() : problem;
          },
          "", "RECORDS"));
  command->callback([&options, args] { options.exit_status = run_export(options, *args); });
}

}  // namespace zenfaro::cli
