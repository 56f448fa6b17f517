#pragma once
// Runs zenfaro-cli with the given arguments (argv[0] is the program's name)
// and returns its exit status. Output goes to std::cout and std::cerr, and
// questions read std::cin, so that tests can run it in-process.
namespace zenfaro::cli {

int run_cli(int argc, const char* const* argv);

}  // namespace zenfaro::cli
