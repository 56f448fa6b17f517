// zenfaro: the commentary database editor. It takes no arguments; it works
// in the current folder (the game's folder when installed as its plug-in).
#include <QApplication>

#include "app/help_viewer.h"
#include "app/startup.h"
#include "model/icon_choice.h"
#include "ui/main_window.h"
#include "ui/qt_prompt.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zenfaro::IconChooser icons(zenfaro::seed_from_clock());
  zenfaro::QtPrompt prompt;
  zenfaro::Env& env = zenfaro::default_env();

  zenfaro::StartupHooks hooks;
  hooks.show_help = zenfaro::show_help;
  hooks.run_window = [&](const zenfaro::Layout& layout) {
    zenfaro::EditorModel model(env, layout, prompt);
    zenfaro::MainWindow window(model, icons);
    return window.exec();
  };
  std::error_code error;
  const std::filesystem::path root = std::filesystem::current_path(error);
  return zenfaro::run_startup(env, root, prompt, hooks);
}
