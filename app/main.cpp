// zenfaro: the commentary database editor. It works in the current folder
// (the game's folder when installed as its plug-in), or with --choose-folder
// in a folder it asks for first (see app/editor_options.h).
#include <QSettings>
#include <iostream>

#include "app/choose_folder.h"
#include "app/editor_options.h"
#include "app/help_viewer.h"
#include "app/smoke_run.h"
#include "app/startup.h"
#include "editor/icon_choice.h"
#include "ui/guarded_application.h"
#include "ui/main_window.h"
#include "ui/qt_prompt.h"

int main(int argc, char** argv) {
  const zenfaro::EditorOptions options = zenfaro::parse_editor_options(argc, argv);
  if (!options.unknown.empty()) {
    std::cerr << zenfaro::editor_usage_error(options.unknown);
    return zenfaro::kEditorUsageError;
  }
  if (options.help || options.version) {
    std::cout << (options.help ? zenfaro::editor_help_text() : zenfaro::editor_version_text());
    return 0;
  }
  zenfaro::GuardedApplication application(argc, argv);
  zenfaro::start_smoke_run_if_asked(application);
  zenfaro::IconChooser icons(zenfaro::seed_from_clock());
  zenfaro::QtPrompt prompt;
  if (options.choose_folder) {
    QSettings settings(QStringLiteral("zenfaro"), QStringLiteral("zenfaro"));
    if (!zenfaro::enter_chosen_folder(settings, prompt)) return 0;
  }
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
  try {
    return zenfaro::run_startup(env, root, prompt, hooks);
  } catch (const std::bad_alloc&) {
    zenfaro::report_stopped_command(nullptr);
  } catch (const std::exception& e) {
    zenfaro::report_stopped_command(e.what());
  }
  return 1;
}
