#include "tests/support/cli_runner.h"

#include <iostream>
#include <sstream>
#include <vector>

#include "cli/cli_app.h"

namespace zenfaro::testing {

CliRun run_cli(const std::vector<std::string>& args, const std::string& input) {
  std::vector<const char*> argv = {"zenfaro-cli"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out, err;
  std::istringstream in(input);
  std::streambuf* old_out = std::cout.rdbuf(out.rdbuf());
  std::streambuf* old_err = std::cerr.rdbuf(err.rdbuf());
  std::streambuf* old_in = std::cin.rdbuf(in.rdbuf());
  CliRun run;
  run.status = cli::run_cli(static_cast<int>(argv.size()), argv.data());
  std::cout.rdbuf(old_out);
  std::cerr.rdbuf(old_err);
  std::cin.rdbuf(old_in);
  std::cin.clear();
  run.out = out.str();
  run.err = err.str();
  return run;
}

}  // namespace zenfaro::testing
