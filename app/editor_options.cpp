#include "app/editor_options.h"

#include <string_view>

namespace zenfaro {

EditorOptions parse_editor_options(int argc, const char* const* argv) {
  EditorOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--choose-folder") options.choose_folder = true;
    if (argument == "--help") options.help = true;
    if (argument == "--version") options.version = true;
  }
  return options;
}

std::string editor_help_text() {
  return "Usage: zenfaro [--choose-folder]\n"
         "Edits the Pelmar commentary database (commdb.dat, commdb.idx) of the current folder. Started in the\n"
         "game's folder, it works as the game's plug-in, with the database in plugins\\zenfaro\\data\\; in any\n"
         "other folder it edits the database of that folder.\n"
         "\n"
         "Options:\n"
         "  --choose-folder  first ask for the folder to work in (the game's folder or a database folder),\n"
         "                   starting from the one chosen last time, then work there\n"
         "  --help           show this help and end\n"
         "  --version        show the version and end\n";
}

std::string editor_version_text() { return "zenfaro " ZENFARO_VERSION "\n"; }

}  // namespace zenfaro
