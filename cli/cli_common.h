#pragma once
// What every zenfaro-cli command shares: the working folder given with -C,
// the exit statuses, the terminal's answers to questions, and the opening of
// the database exactly as the editor opens it when started in that folder.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/prompt.h"
#include "editor/editor_model.h"

namespace zenfaro::cli {

namespace fs = std::filesystem;

// The exit statuses: done, refused or failed (with a message), usage error.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Options {
  std::string folder = ".";
  int exit_status = kExitDone;
};

// Questions and messages on the terminal. Messages with an error or warning
// icon go to standard error, the rest to standard output. Questions are
// answered Yes when `yes_to_all` is set, otherwise read as y/N from
// standard input.
class TerminalPrompt final : public Prompt {
 public:
  bool yes_to_all = false;
  int errors = 0;  // messages with an error icon shown so far

  // Prints the question's details first, even when answered by yes_to_all.
  bool ask(const Question& question) override;
  // The terminal offers no such choice: the question goes to standard error
  // and is answered with its last answer, the cancel.
  std::size_t choose(const Question& question) override;
  void tell(const Message& message) override;
  std::optional<std::string> choose_file(const FileRequest&) override { return std::nullopt; }
};

// The editor's state for one command: the folder's layout, the prompt and
// the editing model opened on the database (no record is read until a
// command shows one).
struct Session {
  explicit Session(const Options& options);
  TerminalPrompt prompt;
  EditorModel model;
  // False when the database cannot be read (an unreadable file is not an
  // empty database): that has been told, and the command ends with kExitFailed.
  bool readable() const { return model.database().load_error.is_ok(); }
  // kExitFailed when an error was shown, else kExitDone: how a command ends
  // once it has done its work.
  int exit_status() const { return prompt.errors > 0 ? kExitFailed : kExitDone; }
};

// Prints "zenfaro-cli: MESSAGE" on standard error and returns kExitFailed.
int fail(const std::string& message);

// The UTF-8 text of the terminal as an entry, or nothing after printing why
// it is refused (characters outside Windows-1252, CR, LF, NUL, 0x1A).
std::optional<std::string> entry_from_terminal(const std::string& utf8);

// An exchange file named on the command line: relative names are taken in
// the working folder, as the editor's file dialogs open there.
fs::path exchange_file_path(const Layout& layout, const std::string& utf8_name);

// The names of the three lists on the command line.
ListKind list_from_name(const std::string& name);
const char* list_name(ListKind kind);
// Adds the LIST argument, accepting only those names.
CLI::Option* add_list_argument(CLI::App& command, std::string& list);
// Adds a record-number argument N (1 or more, decimal digits only: "010" is
// 10, and "0x10", "-1" or "1e3" are usage errors).
CLI::Option* add_record_argument(CLI::App& command, std::int32_t& record);
// Adds a position POS, or several, from 0 (decimal digits only).
CLI::Option* add_position_argument(CLI::App& command, std::size_t& position);
CLI::Option* add_positions_argument(CLI::App& command, std::vector<std::size_t>& positions);
// The list's name in messages: "trigger", "exclusion trigger", "commentary line".
std::string entry_noun(ListKind kind);

// The registration of each command (one file each).
void add_info_command(CLI::App& app, Options& options);
void add_list_command(CLI::App& app, Options& options);
void add_show_command(CLI::App& app, Options& options);
void add_add_command(CLI::App& app, Options& options);
void add_modify_command(CLI::App& app, Options& options);
void add_remove_command(CLI::App& app, Options& options);
void add_delete_command(CLI::App& app, Options& options);
void add_export_command(CLI::App& app, Options& options);
void add_import_command(CLI::App& app, Options& options);
void add_check_command(CLI::App& app, Options& options);
void add_find_command(CLI::App& app, Options& options);
void add_restore_command(CLI::App& app, Options& options);

}  // namespace zenfaro::cli
