#pragma once
// The editor's command line. Without options it starts in the current
// folder; --choose-folder asks first for the folder to work in (the desktop
// menu starts it so), --help (or -h) and --version answer and end. Any other
// argument that starts with "-" is a usage error, unless it is one of the
// toolkit's own options (-platform NAME, -style NAME, ...), which the
// toolkit takes; other arguments are ignored, as the editor always has.
#include <string>

namespace zenfaro {

struct EditorOptions {
  bool choose_folder = false;
  bool help = false;
  bool version = false;
  // The first argument that is no option of the editor's or the toolkit's;
  // empty when there is none.
  std::string unknown;
};

EditorOptions parse_editor_options(int argc, const char* const* argv);

// The texts of --help and --version (help2man makes the manual page of them).
std::string editor_help_text();
std::string editor_version_text();
// What a usage error prints on standard error (then the editor exits with 2).
std::string editor_usage_error(const std::string& unknown);

// The exit status of a usage error.
constexpr int kEditorUsageError = 2;

}  // namespace zenfaro
