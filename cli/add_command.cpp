// zenfaro-cli add N LIST TEXT: under the database's lock, shows record N as
// it stands, puts TEXT in the item box, presses the list's "Add To" button
// (with the alternatives expansion) and saves the record.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::int32_t record = 0;
  std::string list;
  std::string text;
};

int run_add(const Options& options, const Arguments& args) {
  const std::optional<std::string> entry = entry_from_terminal(args.text);
  if (!entry) return kExitFailed;
  Session session(options);
  if (!session.readable()) return kExitFailed;
  EditorModel& model = session.model;
  const ListKind kind = list_from_name(args.list);
  if (!model.change_stored(args.record, WriteMode::save, [&] { return model.add_entry(kind, *entry); })) {
    return kExitFailed;
  }
  std::cout << "Record " << std::min(args.record, model.record_count()) << " saved; its " << args.list << " list holds "
            << model.list(kind).size() << " entries.\n";
  return session.exit_status();
}

}  // namespace

void add_add_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("add", "add TEXT to a list of record N (alternatives expanded) and save");
  auto args = std::make_shared<Arguments>();
  add_record_argument(*command, args->record);
  add_list_argument(*command, args->list);
  command->add_option("TEXT", args->text, "the entry, in UTF-8")->required();
  command->callback([&options, args] { options.exit_status = run_add(options, *args); });
}

}  // namespace zenfaro::cli
