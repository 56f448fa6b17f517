// zenfaro-cli remove N LIST POS [POS...]: shows record N, selects those
// display positions, presses the list's "Delete" and then "&Save Record".
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
  EditorModel& model = session.model;
  model.set_record_text(std::to_string(args.record));
  const ListKind kind = list_from_name(args.list);
  const std::size_t size = model.list(kind).size();
  for (const std::size_t position : args.positions) {
    if (position >= size) {
      return fail("Record " + std::to_string(args.record) + " has no " + entry_noun(kind) + " at position " +
                  std::to_string(position) + " (it has " + std::to_string(size) + "). Nothing was removed.");
    }
  }
  model.delete_entries(kind, args.positions);
  if (model.working_record().empty()) {
    return fail("That would leave record " + std::to_string(args.record) +
                " without any entry, and an empty record is never saved: nothing was removed. "
                "Use \"delete " +
                std::to_string(args.record) + "\" to delete the record.");
  }
  if (!model.save_record()) return kExitFailed;
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
