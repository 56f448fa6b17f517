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
