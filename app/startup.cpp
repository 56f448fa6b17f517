#include "app/startup.h"

#include <string>
#include <vector>

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

// The name under which a copy is made beside `target` before it takes its
// place.
fs::path beside(const fs::path& target, const char* suffix) {
  fs::path aside = target;
  aside += suffix;
  return aside;
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
  Status status = env.copy_file(source, aside);
  if (status.is_ok()) status = env.rename_file(aside, target);
  if (status.is_ok()) {
    env.remove_file(source).ignore_error();  // a source left behind is copied again next time
    return;
  }
  env.remove_file(aside).ignore_error();
  prompt.tell({"The game file kestrane.pbc could not be installed: " + copy_failure(env, root, source, target, status) +
                   ". The game's files were left as they were; the next start tries again.",
               kDefaultCaption, Icon::warning});
}

void transfer_database(Env& env, const Layout& layout, Prompt& prompt) {
  const fs::path game_data = layout.root / "data";
  struct Copy {
    fs::path from, to, aside;
  };
  std::vector<Copy> copies;
  for (const char* name : {"commdb.dat", "commdb.idx"}) {
    copies.push_back({layout.database_file(name), game_data / name, beside(game_data / name, ".zenfaro-new")});
  }
  const fs::path kept = beside(copies[0].to, ".zenfaro-old");
  std::string failure;
  for (const Copy& copy : copies) {
    const Status status = env.copy_file(copy.from, copy.aside);
    if (!status.is_ok() && failure.empty()) failure = copy_failure(env, layout.root, copy.from, copy.to, status);
  }
  if (failure.empty()) {
    env.remove_file(kept).ignore_error();
    Status status = env.file_info(copies[0].to).exists ? env.link_file(copies[0].to, kept) : Status::ok();
    if (status.is_ok()) status = env.rename_file(copies[0].aside, copies[0].to);
    if (status.is_ok()) {
      status = env.rename_file(copies[1].aside, copies[1].to);
      // The index could not follow the data file: the old data file goes back.
      if (!status.is_ok()) {
        const Status undone =
            env.file_info(kept).exists ? env.rename_file(kept, copies[0].to) : env.remove_file(copies[0].to);
        if (!undone.is_ok()) status = status.with_more(" " + undone.message());
      }
    }
    if (!status.is_ok())
      failure = known_name(layout.root, copies[0].to) + " and " + known_name(layout.root, copies[1].to) +
                " could not be replaced" + (status.reason().empty() ? "" : " (" + status.reason() + ")");
  }
  env.remove_file(kept).ignore_error();
  for (const Copy& copy : copies) env.remove_file(copy.aside).ignore_error();
  if (!failure.empty()) {
    prompt.tell({"The commentary database could not be transferred into your Pelmar: " + failure +
                     ". The game's files were left as they were.",
                 kDefaultCaption, Icon::error});
  }
}

int run_startup(Env& env, const fs::path& root, Prompt& prompt, const StartupHooks& hooks) {
  const Layout layout = decide_layout(env, root);
  if (layout.host) install_kestrane(env, root, prompt);

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
