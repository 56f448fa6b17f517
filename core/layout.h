#pragma once
// Where the database and the work files live. The program runs either as a
// plug-in inside the game's folder (host layout: the database is in
// plugins\zenfaro\data\) or from any folder (standalone layout: the database
// is in that folder). Work, report and log files always live in the working
// folder itself.
#include <filesystem>
#include <string_view>

#include "core/env.h"

namespace zenfaro {

struct Layout {
  fs::path root;      // the working folder
  bool host = false;  // true in the host layout

  // The folder of commdb.dat, commdb.idx and commdb.old.
  fs::path database_folder() const;
  fs::path data_file() const { return database_folder() / "commdb.dat"; }
  fs::path index_file() const { return database_folder() / "commdb.idx"; }
  fs::path backup_file() const { return database_folder() / "commdb.old"; }
  // A work, report or log file: `name` in the working folder.
  fs::path work_file(std::string_view name) const { return root / fs::path(name); }
};

// The file whose presence makes the working folder the game's folder.
fs::path host_marker(const fs::path& root);

// The host layout when `root` holds program\vask.exe, else the standalone one.
Layout decide_layout(Env& env, const fs::path& root);

}  // namespace zenfaro
