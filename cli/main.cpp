// zenfaro-cli: the editor's commands from a terminal, for batch work. It
// works in a folder exactly as the editor does when started there.
#include "cli/cli_app.h"

int main(int argc, char** argv) { return zenfaro::cli::run_cli(argc, argv); }
