// zenfaro-cli: the editor's commands from a terminal, for batch work. It
// works in a folder exactly as the editor does when started there.
#include <CLI/CLI.hpp>

#include "cli/cli_common.h"

int main(int argc, char** argv) {
  using namespace zenfaro::cli;
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
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return kExitUsage;
  }
  return options.exit_status;
}
