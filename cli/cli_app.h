#pragma once
// Runs zenfaro-cli with the given arguments (argv[0] is the program's name)
// and returns its exit status. Output goes to std::cout and std::cerr, and
// questions read std::cin, so that tests can run it in-process. Arguments
// are UTF-8. No exception leaves it: a failure ends with a message and exit
// status 1 (2 for a usage error).
#include <string>
#include <vector>

namespace zenfaro::cli {

int run_cli(int argc, const char* const* argv);
int run_cli(const std::vector<std::string>& arguments);

}  // namespace zenfaro::cli
