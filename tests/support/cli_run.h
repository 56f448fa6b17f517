#pragma once
// zenfaro-cli run inside the test process, its standard streams caught.
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_app.h"

namespace zenfaro::testing {

struct CliRun {
  int status = -1;
  std::string out, err;
};

// Runs zenfaro-cli with `args` and `input` as its standard input.
inline CliRun run_cli(std::vector<std::string> args, const std::string& input = "") {
  std::ostringstream out, err;
  std::istringstream in(input);
  std::streambuf* const streams[] = {std::cout.rdbuf(out.rdbuf()), std::cerr.rdbuf(err.rdbuf()),
                                     std::cin.rdbuf(in.rdbuf())};
  args.insert(args.begin(), "zenfaro-cli");
  const int status = cli::run_cli(args);
  std::cout.rdbuf(streams[0]), std::cerr.rdbuf(streams[1]), std::cin.rdbuf(streams[2]);
  std::cin.clear();
  return {status, out.str(), err.str()};
}

}  // namespace zenfaro::testing
