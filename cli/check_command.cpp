// zenfaro-cli check [--kind KIND]...: what is wrong in the database, in one
// walk of commdb.dat. Standard output gets one line per finding,
// KIND TAB N TAB LIST TAB POS TAB TEXT (UTF-8), records ascending; LIST and
// POS are "-" for a finding about a whole record, and POS is "-" for one
// about a whole list. When the index is checked and nothing at all is found,
// the one line of before: "commdb.dat and commdb.idx match: N records.".
// An index that does not match the data file also gets the message of
// before on standard error, "commdb.dat and commdb.idx do not match: ...".
// Exits 0 when nothing was found, 1 when something was (or the database
// could not be read), 2 for a usage error such as an unknown KIND.
#include <iostream>

#include "cli/cli_common.h"
#include "core/cp1252.h"
#include "core/database_state.h"
#include "editor/check_records.h"

namespace zenfaro::cli {
namespace {

std::string finding_line(const Finding& finding) {
  const std::string list = finding.list ? list_name(*finding.list) : "-";
  const std::string position = finding.position ? std::to_string(*finding.position) : "-";
  return std::string(finding_kind_name(finding.kind)) + '\t' + std::to_string(finding.record) + '\t' + list + '\t' +
         position + '\t' + cp1252_to_utf8(finding.text) + '\n';
}

int run_check(const Options& options, const std::vector<std::string>& kind_names) {
  FindingKinds kinds;
  for (const std::string& name : kind_names) kinds.insert(*finding_kind_from_name(name));
  Session session(options);
  if (!session.readable()) return kExitFailed;
  Database& db = session.model.mutable_database();
  // The findings of one state of the files: a read that has to begin anew
  // starts its report anew, so the report is printed once it is whole.
  std::string report;
  std::int64_t found = 0;
  DatabaseCheck check;
  const Status error = read_one_state(db, [&] {
    report.clear();
    found = 0;
    Status read;
    check = check_records(
        db, kinds,
        [&](const Finding& finding) {
          ++found;
          report += finding_line(finding);
        },
        &read);
    return read;
  });
  std::cout << report << std::flush;
  const bool index_checked = kinds.empty() || kinds.count(FindingKind::index) != 0;
  if (index_checked && !check.findings.empty()) {
    fail("commdb.dat and commdb.idx do not match: " + check.findings.front().text + ".");
  }
  if (!error.is_ok()) return fail(error.message());
  if (found > 0) return kExitFailed;
  if (index_checked) std::cout << "commdb.dat and commdb.idx match: " << check.records_walked << " records.\n";
  return session.exit_status();
}

}  // namespace

void add_check_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("check", "list what is wrong in the database, one finding a line");
  auto kinds = std::make_shared<std::vector<std::string>>();
  std::string names;
  for (int k = 0; k < static_cast<int>(FindingKind::count); ++k) {
    names += std::string(names.empty() ? "" : ", ") + finding_kind_name(static_cast<FindingKind>(k));
  }
  command->add_option("--kind", *kinds, "look only for this kind of finding (repeatable): " + names)
      ->option_text("KIND")
      ->check(CLI::Validator(
          [](std::string& name) {
            return finding_kind_from_name(name) ? std::string() : "\"" + name + "\" is no kind of finding";
          },
          "", "KIND"));
  command->callback([&options, kinds] { options.exit_status = run_check(options, *kinds); });
}

}  // namespace zenfaro::cli
