// The terminal of POSIX systems: arguments are taken as they are, standard
// output has no text mode, and the terminal shows UTF-8 as it comes.
#include "cli/console.h"

namespace zenfaro::cli {

std::vector<std::string> utf8_arguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

void set_binary_stdout() {}

void use_utf8_console() {}

}  // namespace zenfaro::cli
