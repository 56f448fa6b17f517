// zenfaro-cli import FILE [--yes]: "&Import Commentary" of FILE. Prints what
// the classification found, asks the confirmation on the terminal (y/N on
// standard input) unless --yes, and prints the outcome.
#include <iostream>

#include "cli/cli_common.h"
#include "exchange/import_commentary.h"

namespace zenfaro::cli {
namespace {

struct Arguments {
  std::string file;
  bool yes = false;
};

// Every message of the import says why it did not complete, so on the
// terminal each goes to standard error.
class ImportPrompt final : public Prompt {
 public:
  explicit ImportPrompt(TerminalPrompt& terminal) : terminal_(terminal) {}
  bool ask(const Question& question) override { return terminal_.ask(question); }
  void tell(const Message& message) override {
    Message failure = message;
    failure.icon = Icon::error;
    terminal_.tell(failure);
  }
  std::optional<std::string> choose_file(const FileRequest& request) override {
    return terminal_.choose_file(request);
  }

 private:
  TerminalPrompt& terminal_;
};

void print_summary(const ImportSummary& s) {
  std::cout << "The exchange file announces " << s.announced << " records: " << s.new_records << " new, "
            << s.identical << " identical to stored records, " << s.extending << " extending stored records.\n"
            << "The database would go from " << s.stored << " to " << s.merged << " records.\n";
}

int run_import(const Options& options, const Arguments& args) {
  Session session(options);
  session.prompt.yes_to_all = args.yes;
  ImportPrompt prompt(session.prompt);
  Database& db = session.model.mutable_database();
  const std::string path = exchange_file_path(db.layout, args.file).u8string();
  switch (import_commentary(db, path, prompt, print_summary)) {
    case ImportResult::completed:
      std::cout << "Imported " << path << "; the database now holds " << db.record_count << " records.\n";
      return kExitDone;
    case ImportResult::declined:
      return fail("The import was not confirmed; the database was not changed.");
    case ImportResult::rejected:
    case ImportResult::refused:
    case ImportResult::failed:
      break;
  }
  return kExitFailed;
}

}  // namespace

void add_import_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("import", "import the exchange file FILE (.CMX) into the database");
  auto args = std::make_shared<Arguments>();
  command->add_option("FILE", args->file, "the exchange file, relative to the working folder")->required();
  command->add_flag("--yes", args->yes, "confirm the import without asking");
  command->callback([&options, args] { options.exit_status = run_import(options, *args); });
}

}  // namespace zenfaro::cli
