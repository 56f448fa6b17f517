#pragma once
// The editor's command line. Without options it starts in the current
// folder; --choose-folder asks first for the folder to work in (the desktop
// menu starts it so), --help and --version answer and end. Anything else on
// the command line is ignored, as the editor always has.
#include <string>

namespace zenfaro {

struct EditorOptions {
  bool choose_folder = false;
  bool help = false;
  bool version = false;
};

EditorOptions parse_editor_options(int argc, const char* const* argv);

// The texts of --help and --version (help2man makes the manual page of them).
std::string editor_help_text();
std::string editor_version_text();

}  // namespace zenfaro
