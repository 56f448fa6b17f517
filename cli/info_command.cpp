// zenfaro-cli info: the layout, the database paths and the record count.
#include <iostream>

#include "cli/cli_common.h"

namespace zenfaro::cli {
namespace {

std::string shown_path(const Layout& layout, const fs::path& path) {
  return path.lexically_relative(layout.root).make_preferred().u8string();
}

int run_info(const Options& options) {
  Session session(options);
  if (!session.readable()) return kExitFailed;
  const Database& db = session.model.database();
  const Layout& layout = db.layout;
  std::cout << "folder: " << layout.root.u8string() << "\n"
            << "layout: " << (layout.host ? "host" : "standalone") << "\n"
            << "data: " << shown_path(layout, db.data_path) << "\n"
            << "index: " << shown_path(layout, db.index_path) << "\n"
            << "records: " << db.record_count << "\n";
  return session.exit_status();
}

}  // namespace

void add_info_command(CLI::App& app, Options& options) {
  CLI::App* command = app.add_subcommand("info", "show the layout, the database paths and the record count");
  command->callback([&options] { options.exit_status = run_info(options); });
}

}  // namespace zenfaro::cli
