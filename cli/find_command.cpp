// zenfaro-cli find TEXT [--list LIST] [--match-case]: every stored entry that
// contains TEXT, one line each: N, LIST, POS and the entry (UTF-8), separated
// by tabs. Records ascending, then triggers, exclusions, lines, then
// positions ascending; POS is the display position that show, modify and
// remove use. Letter case is ignored as the sorted lists ignore it, unless
// --match-case. Exits 0 when something matched, 1 when nothing did (or the
// database could not be read), 2 for a usage error such as an empty TEXT.
#include <iostream>

#include "cli/cli_common.h"
#include "core/cp1252.h"
#include "core/database_state.h"
#include "editor/find.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string text;
  std::string list;
  bool match_case = false;
};

int run_find(const Options& options, const Arguments& args) {
  FindQuery query;
  const std::optional<std::string> text = entry_from_terminal(args.text);
  if (!text) return kExitFailed;
  query.text = *text;
  if (!args.list.empty()) query.list = list_from_name(args.list);
  query.match_case = args.match_case;

  Session session(options);

  if (!session.readable()) return kExitFailed;
  Database& db = session.model.mutable_database();
  // The hits of one state of the database, printed once they are all found.
  std::string out;
  const Status status = read_one_state(db, [&] {
    out.clear();
    return for_each_match(db, query, ShownRecord{}, [&out](const FindHit& hit, const Entry& entry) {
      out += std::to_string(hit.record) + '\t' + list_name(hit.list) + '\t' + std::to_string(hit.position) + '\t' +
             cp1252_to_utf8(entry) + '\n';
      return true;
    });
  });
  if (!status.is_ok()) return fail(status.message());
  std::cout << out;
  return !out.empty() && session.prompt.errors == 0 ? kExitDone : kExitFailed;
}

}  // namespace

void add_find_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("find", "list the stored entries that contain TEXT");
  auto args = std::make_shared<Arguments>();
  command->add_option("TEXT", args->text, "the text to find, in UTF-8")
      ->required()
      ->check(CLI::Validator(
          [](std::string& text) { return text.empty() ? std::string("TEXT is empty") : std::string(); }, "", "TEXT"));
  command->add_option("--list", args->list, "search only this list")
      ->option_text("LIST")
      ->check(CLI::IsMember({"triggers", "exclusions", "lines"}));
  command->add_flag("--match-case", args->match_case, "letter case must match");
  command->callback([&options, args] { options.exit_status = run_find(options, *args); });
}

}  // namespace zenfaro::cli
