// zenfaro-cli remove N LIST POS [POS...]: under the database's lock, shows
// record N as it stands, selects those display positions, presses the list's
// "Delete" and saves the record.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::int32_t record = 0;
  std::string list;
  std::vector<std::size_t> positions;
};

int run_remove(const Options& options, const Arguments& args) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  EditorModel& model = session.model;
  const ListKind kind = list_from_name(args.list);
  const auto remove = [&] {
    const std::size_t size = model.list(kind).size();
    for (const std::size_t position : args.positions) {
      if (position >= size) {
        fail("Record " + std::to_string(args.record) + " has no " + entry_noun(kind) + " at position " +
             std::to_string(position) + " (it has " + std::to_string(size) + "). Nothing was removed.");
        return false;
      }
    }
    model.delete_entries(kind, args.positions);
    if (!model.working_record().empty()) return true;
    fail("That would leave record " + std::to_string(args.record) +
         " without any entry, and an empty record is never saved: nothing was removed. "
         "Use \"delete " +
         std::to_string(args.record) + "\" to delete the record.");
    return false;
  };
  if (!model.change_stored(args.record, WriteMode::save, remove)) return kExitFailed;
  std::cout << "Record " << args.record << " saved; its " << args.list << " list holds " << model.list(kind).size()
            << " entries.\n";
  return session.exit_status();
}

}  // namespace

void add_remove_command(CLI::App& app, Options& options) {
  CLI::App* command =
      app.add_subcommand("remove", "remove the entries at positions POS... of a list of record N, and save");
  auto args = std::make_shared<Arguments>();
  add_record_argument(*command, args->record);
  add_list_argument(*command, args->list);
  add_positions_argument(*command, args->positions);
  command->callback([&options, args] { options.exit_status = run_remove(options, *args); });
}

}  // namespace zenfaro::cli
