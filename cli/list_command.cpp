// zenfaro-cli list: one line per record, tab-separated: its number, the
// sizes of its three lists, and its first trigger as the editor shows it.
#include <iostream>

#include "cli/cli_common.h"
#include "core/cp1252.h"

namespace zenfaro::cli {
namespace {

int run_list(const Options& options) {
  Session session(options);
  EditorModel& model = session.model;
  for (std::int32_t n = 1; n <= model.record_count(); ++n) {
    model.show_record(n);
    const WorkingList& triggers = model.list(ListKind::triggers);
    std::cout << n << '\t' << triggers.size() << '\t' << model.list(ListKind::exclusions).size() << '\t'
              << model.list(ListKind::lines).size() << '\t'
              << (triggers.empty() ? std::string() : cp1252_to_utf8(triggers.at(0))) << '\n';
  }
  return session.exit_status();
}

}  // namespace

void add_list_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand(
      "list", "list the records: number, triggers, exclusion triggers, commentary lines, first trigger");
  command->callback([&options] { options.exit_status = run_list(options); });
}

}  // namespace zenfaro::cli
