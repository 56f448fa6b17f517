#pragma once
// The editor's start-up, without a window system: the layout decision, the
// installation of kestrane.pbc in the host layout, the help prompt, the loop
// that reopens the main window after an import, and the offer to transfer
// the database into the game at the end. The window and the help viewer are
// passed in, so that tests can run the whole sequence.
#include <functional>
#include <string>

#include "core/layout.h"
#include "core/prompt.h"

namespace zenfaro {

struct StartupHooks {
  // Opens the main window on `layout`'s database, blocks until it closes and
  // returns its end code (kEndImported reopens it).
  std::function<int(const Layout& layout)> run_window;
  // Shows the help file and returns once the viewer has been closed.
  std::function<void(const Layout& layout)> show_help;
};

// The help file: cmthelp.txt in plugins\zenfaro\ (host layout) or in the
// working folder (standalone layout).
fs::path help_file(const Layout& layout);
// The command line that shows it with the Windows text editor, relative to
// the working folder: "notepad.exe plugins\zenfaro\cmthelp.txt" or
// "notepad.exe cmthelp.txt".
std::string help_command_line(const Layout& layout);

// Moves plugins\zenfaro\kestrane.pbc to program\kestrane.pbc (replacing
// it) when the source is there. The source is deleted only after the copy
// succeeded, so a failed copy keeps it for the next start. Reports nothing.
void install_kestrane(Env& env, const fs::path& root);

// Copies the host layout's commdb.dat and commdb.idx into the game's data
// folder, each replacing the file there. Each copy is written aside and then
// renamed into place, so a failed copy leaves the game's file whole; both
// copies are attempted, and every failure is told through `prompt`.
void transfer_database(Env& env, const Layout& layout, Prompt& prompt);

// The whole sequence, from the layout decision in `root` to the end. The
// caller seeds the icon generator first. Returns the exit status, 0.
int run_startup(Env& env, const fs::path& root, Prompt& prompt, const StartupHooks& hooks);

}  // namespace zenfaro
