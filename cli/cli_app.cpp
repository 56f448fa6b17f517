// The command line of zenfaro-cli: the options and the commands.
#include <CLI/CLI.hpp>

#include <exception>
#include <new>

#include "cli/cli_app.h"
#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

// -C's check, with CLI11's messages. The name is UTF-8 (CLI11's own check
// reads it in the ANSI code page on Windows); a name that is no file name
// there is a folder that does not exist.
CLI::Validator existing_folder() {
  return CLI::Validator(
      [](std::string& name) -> std::string {
        std::error_code ec;
        fs::file_status status;
        try {
          status = fs::status(fs::u8path(name), ec);
        } catch (const std::exception&) {}
        if (ec && ec != std::errc::no_such_file_or_directory)
          return "Cannot use the folder " + name + ": " + ec.message();
        if (!fs::exists(status)) return "Directory does not exist: " + name;
        if (!fs::is_directory(status)) return "Directory is actually a file: " + name;
        return {};
      },
      "DIR");
}

// What --help (and so the manual page) ends with: each subcommand with its
// arguments, as they are registered, and its description (in place of the
// plain list of names), what the arguments are, the exit statuses and
// examples.
std::string help_footer(CLI::App& app) {
  constexpr std::size_t kColumn = 30;  // where the descriptions begin, as in the options above
  std::string text = "Subcommands, with their arguments (SUBCOMMAND --help tells more):\n";
  for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    std::string synopsis = "  " + command->get_name();
    for (const CLI::Option* option : command->get_options()) {
      if (option == command->get_help_ptr()) continue;
      if (option->get_positional()) {
        synopsis += " " + option->get_name() + (option->get_items_expected_max() > 1 ? "..." : "");
      } else {
        // A flag has no option text; an option with a value shows its name.
        const std::string value = option->get_option_text();
        synopsis += " [" + option->get_name() + (value.empty() ? "" : " " + value) + "]";
      }
    }
    synopsis +=
        synopsis.size() < kColumn ? std::string(kColumn - synopsis.size(), ' ') : "\n" + std::string(kColumn, ' ');
    text += synopsis + command->get_description() + "\n";
    command->group("");  // listed here, not in the plain list
  }
  return text +
         "\n"
         "N is a record number (1 or more) and POS a position in a list (from 0), both in decimal digits. LIST is\n"
         "triggers, exclusions or lines. FILE is an exchange file (.CMX), taken relative to DIR. TEXT is UTF-8.\n"
         "RECORDS names records and ranges of them, each once, such as 3,7-9,12. KIND is a kind of finding:\n"
         "index, damaged, same-identity, duplicate-entry, empty-record or blanks.\n"
         "\n"
         "Exit status:\n"
         "  0  done\n"
         "  1  refused or failed, with a message on standard error (find: nothing matched; check: something\n"
         "     was found, one finding a line on standard output)\n"
         "  2  usage error\n"
         "\n"
         "Examples:\n"
         "  $ zenfaro-cli -C ~/games/pelmar show 12             # record 12 of the game's plug-in\n"
         "  $ zenfaro-cli add 12 lines \"What a (strike,shot)!\"  # two commentary lines, saved\n"
         "  $ zenfaro-cli import new.CMX --yes                  # import without asking\n"
         "  $ zenfaro-cli export pack.CMX --records 3,7-9       # four records to share\n"
         "  $ zenfaro-cli check --kind index                    # does the index match the data file?\n";
}

}  // namespace

int run_cli(int argc, const char* const* argv) {
  Options options;
  CLI::App app("Edits the Pelmar commentary database (commdb.dat, commdb.idx) of a folder.", "zenfaro-cli");
  app.add_option("-C", options.folder, "work in DIR instead of the current folder")
      ->option_text("DIR")
      ->check(existing_folder());
  app.set_version_flag("--version", "zenfaro-cli " ZENFARO_VERSION);
  app.require_subcommand(1);
  add_info_command(app, options);
  add_list_command(app, options);
  add_show_command(app, options);
  add_add_command(app, options);
  add_modify_command(app, options);
  add_remove_command(app, options);
  add_delete_command(app, options);
  add_export_command(app, options);
  add_import_command(app, options);
  add_check_command(app, options);
  add_find_command(app, options);
  add_restore_command(app, options);
  app.footer(help_footer(app));
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  } catch (const std::bad_alloc&) {
    // Every reader is bounded, so this means the machine itself is short
    // of memory; the database files are whole (they are only replaced).
    return fail("There is not enough memory for this command. The database was not changed.");
  } catch (const std::exception& e) {
    return fail(std::string("The command stopped: ") + e.what() + ". The database was not changed.");
  }
  return options.exit_status;
}

int run_cli(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  return run_cli(static_cast<int>(argv.size()), argv.data());
}

}  // namespace zenfaro::cli
