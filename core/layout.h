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
  std::filesystem::path root;  // the working folder
  bool host = false;           // true in the host layout

  // The folder of commdb.dat, commdb.idx and commdb.old.
  std::filesystem::path database_folder() const;
  std::filesystem::path data_file() const { return database_folder() / "commdb.dat"; }
  std::filesystem::path index_file() const { return database_folder() / "commdb.idx"; }
  std::filesystem::path backup_file() const { return database_folder() / "commdb.old"; }
  // A file of the database folder.
  std::filesystem::path database_file(std::string_view name) const { return database_folder() / name; }
  // A work, report or log file: `name` in the working folder.
  std::filesystem::path work_file(std::string_view name) const { return root / name; }
};

// The file whose presence makes the working folder the game's folder.
std::filesystem::path host_marker(const std::filesystem::path& root);

// The host layout when `root` holds program\vask.exe, else the standalone one.
Layout decide_layout(Env& env, const std::filesystem::path& root);

// True when `path` is one of the files the program itself writes in the
// working folder or the database folder (the database files, the work and
// report files, the import log, the journal and the lock file): such a file
// is never a target for anything else. Names are compared ignoring case, as
// Windows does.
bool is_program_file(const Layout& layout, const std::filesystem::path& path);

}  // namespace zenfaro
