#include "cli/cli_common.h"

#include <iostream>
#include <limits>

#include "core/cp1252.h"
#include "core/layout.h"

namespace zenfaro::cli {

bool TerminalPrompt::ask(const Question& question) {
  if (yes_to_all) return true;
  std::cout << question.text << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
}

void TerminalPrompt::tell(const Message& message) {
  if (message.icon == Icon::error) ++errors;
  std::ostream& out = message.icon == Icon::error || message.icon == Icon::warning ? std::cerr : std::cout;
  out << (&out == &std::cerr ? "zenfaro-cli: " : "") << message.text << "\n";
}

Session::Session(const Options& options)
    : model(default_env(), decide_layout(default_env(), fs::weakly_canonical(fs::absolute(fs::u8path(options.folder)))), prompt) {
  model.open();
}

int fail(const std::string& message) {
  std::cerr << "zenfaro-cli: " << message << "\n";
  return kExitFailed;
}

std::optional<std::string> entry_from_terminal(const std::string& utf8) {
  std::string problem;
  std::optional<std::string> bytes = utf8_to_cp1252(utf8, &problem);
  if (!bytes) {
    fail(problem);
    return std::nullopt;
  }
  if (const std::string_view why = entry_problem(*bytes, false); !why.empty()) {
    fail(std::string(why));
    return std::nullopt;
  }
  return bytes;
}

fs::path exchange_file_path(const Layout& layout, const std::string& utf8_name) {
  return (layout.root / fs::u8path(utf8_name)).lexically_normal();
}

ListKind list_from_name(const std::string& name) {
  if (name == "triggers") return ListKind::triggers;
  if (name == "exclusions") return ListKind::exclusions;
  return ListKind::lines;
}

const char* list_name(ListKind kind) {
  switch (kind) {
    case ListKind::triggers: return "triggers";
    case ListKind::exclusions: return "exclusions";
    case ListKind::lines: return "lines";
  }
  return "lines";
}

CLI::Option* add_list_argument(CLI::App& command, std::string& list) {
  return command.add_option("LIST", list, "triggers, exclusions or lines")
      ->required()
      ->check(CLI::IsMember({"triggers", "exclusions", "lines"}));
}

CLI::Option* add_record_argument(CLI::App& command, std::int32_t& record) {
  return command.add_option("N", record, "record number (1 or more)")
      ->required()
      ->check(CLI::Range(std::int32_t{1}, std::numeric_limits<std::int32_t>::max()));
}

std::string entry_noun(ListKind kind) {
  switch (kind) {
    case ListKind::triggers: return "trigger";
    case ListKind::exclusions: return "exclusion trigger";
    case ListKind::lines: return "commentary line";
  }
  return "entry";
}

}  // namespace zenfaro::cli
