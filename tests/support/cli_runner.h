#pragma once
// Runs zenfaro-cli in-process with captured standard output and error and a
// given standard input.
#include <vector>
#include <string>

namespace zenfaro::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

CliRun run_cli(const std::vector<std::string>& args, const std::string& input = "");

}  // namespace zenfaro::testing
