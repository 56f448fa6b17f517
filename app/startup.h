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
std::filesystem::path help_file(const Layout& layout);
// The help file the viewer shows: help_file(layout) when it is there;
// otherwise the copy installed with the program whose folder is
// `program_folder` (beside it, as in the Windows folder, or in the data
// folder of a Linux installation), when there is one; otherwise still
// help_file(layout), which the viewer then reports as unreadable.
std::filesystem::path find_help_file(Env& env, const Layout& layout, const std::filesystem::path& program_folder);
// The command line that shows it with the Windows text editor, relative to
// the working folder: "notepad.exe plugins\zenfaro\cmthelp.txt" or
// "notepad.exe cmthelp.txt".
std::string help_command_line(const Layout& layout);

// Moves plugins\zenfaro\kestrane.pbc to program\kestrane.pbc (replacing
// it) when the source is there. The copy is made beside the game's file and
// renamed over it only when it is whole, and the source is deleted only
// then: a failure leaves both files as they were (for the next start to try
// again) and is told through `prompt`.
void install_kestrane(Env& env, const std::filesystem::path& root, Prompt& prompt);

// Copies the host layout's commdb.dat and commdb.idx into the game's data
// folder, both or neither, from one state of them: the plug-in's database
// is locked (shared) while both are copied. The copies are made beside the
// game's files and put in their place as a save replaces the database
// (core/replace_files.h), under a journal in the game's data folder, so
// that a transfer cut short is finished or undone at the next start. A
// failure is told through `prompt`, naming only the files the user knows.
void transfer_database(Env& env, const Layout& layout, Prompt& prompt);

// At a start in the host layout: finishes or undoes a transfer into the
// game that was cut short, then checks the game's pair (the index against
// the data file) and warns when it does not match.
void check_game_database(Env& env, const Layout& layout, Prompt& prompt);

// The whole sequence, from the layout decision in `root` to the end. The
// caller seeds the icon generator first. Returns the exit status, 0.
int run_startup(Env& env, const std::filesystem::path& root, Prompt& prompt, const StartupHooks& hooks);

}  // namespace zenfaro
