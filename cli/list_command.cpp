// zenfaro-cli list: one line per record, tab-separated: its number, the
// sizes of its three lists, and its first trigger as the editor shows it.
#include <iostream>

#include "cli/cli_common.h"
#include "core/cp1252.h"
#include "core/database_state.h"
#include "core/record_codec.h"

namespace zenfaro::cli {
namespace {

int run_list(const Options& options) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  Database& db = session.model.mutable_database();
  // The lines of one state of the database, printed once they are all read.
  std::string out;
  std::vector<std::int32_t> damaged;
  const Status status = read_one_state(db, [&] {
    out.clear();
    damaged.clear();
    return walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
      Record record;
      // A damaged record is listed empty, as the editor shows it, and told.
      if (!read_record_into(in, &record)) damaged.push_back(n);
      WorkingList triggers(true);
      triggers.assign(record.list(ListKind::triggers));
      out += std::to_string(n) + '\t' + std::to_string(triggers.size()) + '\t' +
             std::to_string(record.list(ListKind::exclusions).size()) + '\t' +
             std::to_string(record.list(ListKind::lines).size()) + '\t' +
             (triggers.empty() ? std::string() : cp1252_to_utf8(triggers.at(0))) + '\n';
      return true;
    });
  });
  std::cout << out;
  if (!status.is_ok()) return fail(status.message());
  for (const std::int32_t n : damaged) session.prompt.tell({damaged_record(n).message(), kDefaultCaption, Icon::error});
  return session.exit_status();
}

}  // namespace

void add_list_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand(
      "list", "list the records: number, triggers, exclusion triggers, commentary lines, first trigger");
  command->callback([&options] { options.exit_status = run_list(options); });
}

}  // namespace zenfaro::cli
