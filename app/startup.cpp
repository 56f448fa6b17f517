#include "app/startup.h"

#include <string>

#include "core/check_database.h"
#include "core/database_lock.h"
#include "core/replace_files.h"
#include "editor/end_code.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;

fs::path plugin_folder(const fs::path& root) { return root / "plugins" / "zenfaro"; }

// A file of the game as its user knows it: relative to the game's folder,
// with the system's separators ("data\commdb.dat" on Windows).
std::string known_name(const fs::path& root, const fs::path& file) {
  return file.lexically_relative(root).make_preferred().u8string();
}

fs::path game_data_folder(const Layout& layout) { return layout.root / "data"; }

// The name under which a copy is made beside `target` before it takes its
// place.
fs::path beside(const fs::path& target, const char* suffix) {
  fs::path aside = target;
  aside += suffix;
  return aside;
}

// Copies `from` into a new file `to`, a leftover of that name removed first.
Status copy_anew(Env& env, const fs::path& from, const fs::path& to) {
  const Status status = remove_leftover(env, to);
  return status.is_ok() ? copy_file(env, from, to) : status;
}

// "FILE could not be written (REASON)": why a copy from `from` to `to`
// failed, in the names the user knows.
std::string copy_failure(Env& env, const fs::path& root, const fs::path& from, const fs::path& to,
                         const Status& status) {
  const bool source_missing = !env.file_info(from).exists;
  std::string text =
      known_name(root, source_missing ? from : to) + (source_missing ? " does not exist" : " could not be written");
  if (!source_missing && !status.reason().empty()) text += " (" + status.reason() + ")";
  return text;
}

}  // namespace

fs::path help_file(const Layout& layout) {
  return layout.host ? plugin_folder(layout.root) / "cmthelp.txt" : layout.root / "cmthelp.txt";
}

fs::path find_help_file(Env& env, const Layout& layout, const fs::path& program_folder) {
  const fs::path own = help_file(layout);
  if (file_exists(env, own) || program_folder.empty()) return own;
  // ZENFARO_HELP_FROM_PROGRAM: where the installation puts the help text,
  // relative to the program's folder ("../share/zenfaro" on Linux).
  for (const fs::path& installed :
       {program_folder / "cmthelp.txt", program_folder / fs::u8path(ZENFARO_HELP_FROM_PROGRAM) / "cmthelp.txt"}) {
    if (file_exists(env, installed)) return installed.lexically_normal();
  }
  return own;
}

std::string help_command_line(const Layout& layout) {
  return layout.host ? "notepad.exe plugins\\zenfaro\\cmthelp.txt" : "notepad.exe cmthelp.txt";
}

void install_kestrane(Env& env, const fs::path& root, Prompt& prompt) {
  const fs::path source = plugin_folder(root) / "kestrane.pbc";
  if (!file_exists(env, source)) return;
  const fs::path target = root / "program" / "kestrane.pbc";
  const fs::path aside = beside(target, ".zenfaro-new");
  Status status = copy_anew(env, source, aside);
  if (status.is_ok()) status = env.rename_file(aside, target);
  if (status.is_ok()) {
    // The plug-in's copy goes only once the game's is there for good; a
    // source left behind is copied again next time.
    if (env.sync_folder(target.parent_path()).is_ok()) env.remove_file(source).ignore_error();
    return;
  }
  remove_leftover(env, aside).ignore_error();
  prompt.tell({"The game file kestrane.pbc could not be installed: " + copy_failure(env, root, source, target, status) +
                   ". The game's files were left as they were; the next start tries again.",
               kDefaultCaption, Icon::warning});
}

namespace {

// Copies the plug-in's pair beside the game's and puts it in place, all or
// nothing; on failure `*failure` tells why in the names the user knows.
Status transfer_pair(Env& env, const Layout& layout, std::string* failure) {
  const Replacement replacement = transfer_replacement(game_data_folder(layout));
  // One state of the plug-in's database: no change of it runs meanwhile.
  DatabaseLock lock;
  Status status = lock_database(env, layout, &lock, kLockWait, LockKind::shared);
  if (status.is_ok() && env.file_info(journal_file(layout)).present()) {
    status = Status::refused("another program's change of it was cut short; start the editor again to complete it");
  }
  // A transfer cut short before is finished or undone first.
  if (status.is_ok()) status = finish_interrupted_replacement(env, replacement.folder);
  if (!status.is_ok()) {
    *failure = status.message();
    return status;
  }
  for (int target = 0; target < 2 && status.is_ok(); ++target) {
    const fs::path from = layout.database_file(target == 0 ? "commdb.dat" : "commdb.idx");
    status = copy_anew(env, from, new_file(env, replacement, target));
    if (!status.is_ok()) *failure = copy_failure(env, layout.root, from, target_file(replacement, target), status);
  }
  if (status.is_ok()) status = replace_files(env, replacement);
  if (!status.is_ok() && failure->empty()) {
    *failure = known_name(layout.root, target_file(replacement, 0)) + " and " +
               known_name(layout.root, target_file(replacement, 1)) + " could not be replaced" +
               (status.reason().empty() ? "" : " (" + status.reason() + ")");
  }
  // The copies that were not moved go, unless a journal still needs them.
  if (!status.is_ok()) remove_leftovers(env, replacement);
  return status;
}

}  // namespace

void transfer_database(Env& env, const Layout& layout, Prompt& prompt) {
  std::string failure;
  if (transfer_pair(env, layout, &failure).is_ok()) return;
  if (!failure.empty() && failure.back() == '.') failure.pop_back();
  const bool later = env.file_info(journal_file(game_data_folder(layout))).present();
  prompt.tell({"The commentary database could not be transferred into your Pelmar: " + failure +
                   (later ? ". The transfer will be completed the next time the editor starts."
                          : ". The game's files were left as they were."),
               kDefaultCaption, Icon::error});
}

void check_game_database(Env& env, const Layout& layout, Prompt& prompt) {
  const fs::path game_data = game_data_folder(layout);
  const Status status = finish_interrupted_replacement(env, game_data);
  remove_leftovers(env, transfer_replacement(game_data));
  if (!status.is_ok()) {
    prompt.tell(
        {"The last transfer of the commentary database into your Pelmar could not be completed: " + status.message(),
         kDefaultCaption, Icon::warning});
  }
  Database game;
  game.env = &env;
  load_index(game, game_data / "commdb.idx", game_data / "commdb.dat");
  if (!game.data_seen.exists && !game.index_seen.exists) return;
  Status error;
  const DatabaseCheck check = check_database(game, &error);
  if (error.is_ok() && check.findings.empty()) return;
  prompt.tell({"The commentary database of your Pelmar (" + known_name(layout.root, game.data_path) + " and " +
                   known_name(layout.root, game.index_path) +
                   ") is damaged: " + (error.is_ok() ? check.findings.front().text : error.message()) +
                   ". Transfer the database into your Pelmar again when you quit.",
               kDefaultCaption, Icon::warning});
}

int run_startup(Env& env, const fs::path& root, Prompt& prompt, const StartupHooks& hooks) {
  const Layout layout = decide_layout(env, root);
  if (layout.host) {
    install_kestrane(env, root, prompt);
    check_game_database(env, layout, prompt);
  }

  if (prompt.ask({"This is a beta version of the Pelmar 7 Ostrin Commentary Engine. Do you wish to be shown a "
                  "help text on what to do ?",
                  "See help file ?",
                  Icon::none,
                  true,
                  {}})) {
    hooks.show_help(layout);
  }

  // Each opening starts from a fresh record index: the window's model loads
  // the database anew.
  while (hooks.run_window(layout) == kEndImported) {}

  if (layout.host && prompt.ask({"Do you want to transfer the latest commentary database into your Pelmar ?",
                                 "Transfer files ?",
                                 Icon::none,
                                 true,
                                 {}})) {
    transfer_database(env, layout, prompt);
  }
  return 0;
}

}  // namespace zenfaro
