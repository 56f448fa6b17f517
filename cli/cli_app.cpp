// The command line of zenfaro-cli: the options and the commands.
#include <CLI/CLI.hpp>

#include <exception>
#include <new>

#include "cli/cli_app.h"
#include "cli/cli_common.h"

namespace zenfaro::cli {

int run_cli(int argc, const char* const* argv) {
  Options options;
  CLI::App app("Edits the Pelmar commentary database (commdb.dat, commdb.idx) of a folder.", "zenfaro-cli");
  app.add_option("-C", options.folder, "work in DIR instead of the current folder")
      ->option_text("DIR")
      ->check(CLI::ExistingDirectory);
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

}  // namespace zenfaro::cli
