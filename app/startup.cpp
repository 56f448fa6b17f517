#include "app/startup.h"

#include <string>

#include "model/end_code.h"

namespace zenfaro {
namespace {

fs::path plugin_folder(const fs::path& root) { return root / "plugins" / "zenfaro"; }

// Copies `from` beside `to` and renames the copy over `to`.
Status copy_into_place(Env& env, const fs::path& from, const fs::path& to) {
  fs::path aside = to;
  aside += ".new";
  Status status = env.copy_file(from, aside);
  if (status.is_ok()) status = env.rename_file(aside, to);
  if (!status.is_ok()) env.remove_file(aside);
  return status;
}

}  // namespace

fs::path help_file(const Layout& layout) {
  return layout.host ? plugin_folder(layout.root) / "cmthelp.txt" : layout.root / "cmthelp.txt";
}

std::string help_command_line(const Layout& layout) {
  return layout.host ? "notepad.exe plugins\\zenfaro\\cmthelp.txt" : "notepad.exe cmthelp.txt";
}

void install_kestrane(Env& env, const fs::path& root) {
  const fs::path source = plugin_folder(root) / "kestrane.pbc";
  if (!env.file_exists(source)) return;
  if (!env.copy_file(source, root / "program" / "kestrane.pbc").is_ok()) return;
  env.remove_file(source);
}

void transfer_database(Env& env, const Layout& layout, Prompt& prompt) {
  const fs::path game_data = layout.root / "data";
  std::string failures;
  for (const char* name : {"commdb.dat", "commdb.idx"}) {
    const Status status = copy_into_place(env, layout.database_folder() / name, game_data / name);
    if (!status.is_ok()) failures += "\n" + status.message();
  }
  if (!failures.empty()) {
    prompt.tell({"The commentary database could not be transferred completely into your Pelmar." + failures,
                 kDefaultCaption, Icon::error});
  }
}

int run_startup(Env& env, const fs::path& root, Prompt& prompt, const StartupHooks& hooks) {
  const Layout layout = decide_layout(env, root);
  if (layout.host) install_kestrane(env, root);

  if (prompt.ask({"This is a beta version of the Pelmar 7 Ostrin Commentary Engine. Do you wish to be shown a "
                  "help text on what to do ?",
                  "See help file ?", Icon::none, true, {}})) {
    hooks.show_help(layout);
  }

  // Each opening starts from a fresh record index: the window's model loads
  // the database anew.
  while (hooks.run_window(layout) == kEndImported) {
  }

  if (layout.host && prompt.ask({"Do you want to transfer the latest commentary database into your Pelmar ?",
                                 "Transfer files ?", Icon::none, true, {}})) {
    transfer_database(env, layout, prompt);
  }
  return 0;
}

}  // namespace zenfaro
