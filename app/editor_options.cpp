#include "app/editor_options.h"

#include <filesystem>
#include <string_view>

namespace zenfaro {
namespace {

// The toolkit's options that the editor passes on, with whether they take a
// value (as the next argument, or after "="). The toolkit accepts each with
// one dash or two.
struct ToolkitOption {
  std::string_view name;
  bool takes_value;
};
constexpr ToolkitOption kToolkitOptions[] = {{"platform", true},        {"platformpluginpath", true},
                                             {"platformtheme", true},   {"plugin", true},
                                             {"qwindowgeometry", true}, {"qwindowicon", true},
                                             {"qwindowtitle", true},    {"session", true},
                                             {"display", true},         {"style", true},
                                             {"stylesheet", true},      {"reverse", false},
                                             {"widgetcount", false}};

// The toolkit's option `argument` names, or null.
const ToolkitOption* toolkit_option(std::string_view argument) {
  argument.remove_prefix(argument.rfind("--", 0) == 0 ? 2 : 1);
  const std::string_view name = argument.substr(0, argument.find('='));
  for (const ToolkitOption& option : kToolkitOptions) {
    if (option.name == name && (option.takes_value || name.size() == argument.size())) return &option;
  }
  return nullptr;
}

// `path` written as the system writes paths: plugins\zenfaro\ on Windows,
// plugins/zenfaro/ elsewhere.
std::string native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = static_cast<char>(std::filesystem::path::preferred_separator);
  }
  return path;
}

}  // namespace

EditorOptions parse_editor_options(int argc, const char* const* argv) {
  EditorOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--choose-folder") {
      options.choose_folder = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      const ToolkitOption* toolkit = toolkit_option(argument);
      if (toolkit == nullptr && options.unknown.empty()) options.unknown = std::string(argument);
      // The value that follows is the toolkit's too.
      if (toolkit != nullptr && toolkit->takes_value && argument.find('=') == std::string_view::npos) ++i;
    }
  }
  return options;
}

std::string editor_help_text() {
  return "Usage: zenfaro [--choose-folder]\n"
         "Edits the Pelmar commentary database (commdb.dat, commdb.idx) of the current folder. Started in the\n"
         "game's folder, it works as the game's plug-in, with the database in " +
         native("plugins/zenfaro/data/") +
         "; in any\n"
         "other folder it edits the database of that folder.\n"
         "\n"
         "Options:\n"
         "  --choose-folder  first ask for the folder to work in (the game's folder or a database folder),\n"
         "                   starting from the one chosen last time, then work there\n"
         "  -h, --help       show this help and end\n"
         "  --version        show the version and end\n"
         "\n"
         "Exit status:\n"
         "  0  ended by Quit or the close box (or after --help, --version)\n"
         "  1  stopped by an error, with a message\n"
         "  2  usage error: an unknown option\n"
         "\n"
         "Files:\n"
         "  commdb.dat, commdb.idx  the database, in the working folder (in the game's folder: " +
         native("plugins/zenfaro/data/") +
         ")\n"
         "  cmthelp.txt             the help text offered at every start: the working folder's (in the game's\n"
         "                          folder: " +
         native("plugins/zenfaro/cmthelp.txt") +
         "), or else the one installed with the editor\n"
         "\n"
         "Examples:\n"
         "  $ cd ~/games/pelmar && zenfaro  # the game's folder: the plug-in's database\n"
         "  $ zenfaro --choose-folder       # ask for the game's folder or a database folder first\n"
         "  $ zenfaro --version             # which version this is\n";
}

std::string editor_version_text() { return "zenfaro " ZENFARO_VERSION "\n"; }

std::string editor_usage_error(const std::string& unknown) {
  return "zenfaro: unknown option " + unknown +
         "\n"
         "Usage: zenfaro [--choose-folder] | --help | --version\n";
}

}  // namespace zenfaro
