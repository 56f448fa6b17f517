#include "cli/cli_common.h"

#include <iostream>
#include <limits>

#include "core/cp1252.h"
#include "core/layout.h"

namespace zenfaro::cli {

bool TerminalPrompt::ask(const Question& question) {
  std::cout << question.details;
  if (yes_to_all) return true;
  std::cout << question.text << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
}

std::size_t TerminalPrompt::choose(const Question& question) {
  std::cerr << "zenfaro-cli: " << question.text << "\n";
  return question.answers.empty() ? 0 : question.answers.size() - 1;
}

void TerminalPrompt::tell(const Message& message) {
  if (message.icon == Icon::error) ++errors;
  std::ostream& out = message.icon == Icon::error || message.icon == Icon::warning ? std::cerr : std::cout;
  out << (&out == &std::cerr ? "zenfaro-cli: " : "") << message.text << "\n";
}

namespace {

// The working folder as an absolute path in normal form (links are not
// resolved: the folder is named as the user named it).
fs::path working_folder(const Options& options) {
  std::error_code ec;
  const fs::path folder = fs::absolute(fs::u8path(options.folder), ec);
  return (ec ? fs::u8path(options.folder) : folder).lexically_normal();
}

}  // namespace

Session::Session(const Options& options)
    : model(default_env(), decide_layout(default_env(), working_folder(options)), prompt) {
  model.open(false);
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

namespace {

// Accepts decimal digits only, from `minimum` to `maximum`, and writes the
// number back without leading zeros, so that it is not read as octal.
CLI::Validator decimal(std::uint64_t minimum, std::uint64_t maximum) {
  return CLI::Validator(
      [minimum, maximum](std::string& text) -> std::string {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
          return "\"" + text + "\" is not a decimal number";
        }
        const std::size_t digits = text.find_first_not_of('0');
        text = digits == std::string::npos ? "0" : text.substr(digits);
        if (text.size() > 19 || std::stoull(text) < minimum || std::stoull(text) > maximum) {
          return text + " is not in " + std::to_string(minimum) + " to " + std::to_string(maximum);
        }
        return {};
      },
      "DECIMAL");
}

}  // namespace

CLI::Option* add_record_argument(CLI::App& command, std::int32_t& record) {
  return command.add_option("N", record, "record number (1 or more)")
      ->required()
      ->transform(decimal(1, static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())));
}

CLI::Option* add_position_argument(CLI::App& command, std::size_t& position) {
  return command.add_option("POS", position, "display position, from 0")
      ->required()
      ->transform(decimal(0, std::numeric_limits<std::uint32_t>::max()));
}

CLI::Option* add_positions_argument(CLI::App& command, std::vector<std::size_t>& positions) {
  return command.add_option("POS", positions, "display positions, from 0")
      ->required()
      ->transform(decimal(0, std::numeric_limits<std::uint32_t>::max()));
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
