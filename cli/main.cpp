// zenfaro-cli: the editor's commands from a terminal, for batch work. It
// works in a folder exactly as the editor does when started there.
#include "cli/cli_app.h"
#include "cli/console.h"

int main(int argc, char** argv) {
  zenfaro::cli::use_utf8_console();
  return zenfaro::cli::run_cli(zenfaro::cli::utf8_arguments(argc, argv));
}
