// zenfaro-cli modify N LIST POS TEXT: under the database's lock, shows
// record N as it stands, replaces the entry at display position POS (from 0)
// with TEXT in place, and saves.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::int32_t record = 0;
  std::string list;
  std::size_t position = 0;
  std::string text;
};

int run_modify(const Options& options, const Arguments& args) {
  const std::optional<std::string> entry = entry_from_terminal(args.text);
  if (!entry) return kExitFailed;
  Session session(options);
  if (!session.readable()) return kExitFailed;
  EditorModel& model = session.model;
  const ListKind kind = list_from_name(args.list);
  const auto modify = [&] {
    const std::size_t size = model.list(kind).size();
    if (args.position < size) return model.modify_entry(kind, args.position, *entry);
    fail("Record " + std::to_string(args.record) + " has no " + entry_noun(kind) + " at position " +
         std::to_string(args.position) + " (it has " + std::to_string(size) + ").");
    return false;
  };
  if (!model.change_stored(args.record, WriteMode::save, modify)) return kExitFailed;
  std::cout << "Record " << args.record << " saved.\n";
  return session.exit_status();
}

}  // namespace

void add_modify_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("modify", "replace the entry at position POS of a list of record N, and save");
  auto args = std::make_shared<Arguments>();
  add_record_argument(*command, args->record);
  add_list_argument(*command, args->list);
  add_position_argument(*command, args->position);
  command->add_option("TEXT", args->text, "the new text, in UTF-8")->required();
  command->callback([&options, args] { options.exit_status = run_modify(options, *args); });
}

}  // namespace zenfaro::cli
