// zenfaro-cli show N [--raw]: record N as the editor shows it, or with --raw
// the record's bytes exactly as they are stored in commdb.dat.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/console.h"
#include "core/cp1252.h"
#include "core/database_state.h"
#include "core/stored_record.h"

namespace zenfaro::cli {
namespace {

const char* const kListTitles[] = {"Triggers", "Exclusion triggers", "Commentary lines"};

int run_show(const Options& options, std::int32_t n, bool raw) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  if (raw) {
    Database& db = session.model.mutable_database();
    std::string bytes;
    const Status status = read_one_state(db, [&] { return stored_record_bytes(db, n, &bytes); });
    if (!status.is_ok()) return fail(status.message());
    std::cout.flush();
    set_binary_stdout();  // the stored bytes exactly, CR LF included
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    std::cout.flush();
    return session.exit_status();
  }
  EditorModel& model = session.model;
  model.show_record(n);
  std::cout << "Record " << n << " of " << model.record_count();
  if (n > model.record_count()) std::cout << " (new-record position: empty)";
  std::cout << "\n";
  for (ListKind kind : kAllLists) {
    const WorkingList& list = model.list(kind);
    std::cout << kListTitles[static_cast<int>(kind)] << " (" << list.size() << "):\n";
    for (std::size_t i = 0; i < list.size(); ++i) {
      std::cout << "  " << i << "  " << cp1252_to_utf8(list.at(i)) << "\n";
    }
  }
  return session.exit_status();
}

}  // namespace

void add_show_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("show", "show record N with the positions of its entries");
  struct Arguments {
    std::int32_t record = 0;
    bool raw = false;
  };
  auto args = std::make_shared<Arguments>();
  add_record_argument(*command, args->record);
  command->add_flag("--raw", args->raw, "write the record's stored form (Windows-1252 bytes, CR LF)");
  command->callback([&options, args] { options.exit_status = run_show(options, args->record, args->raw); });
}

}  // namespace zenfaro::cli
