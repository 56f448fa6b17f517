// Start-up with the real window and help viewer: an import that completes
// ends the window with 123 and start-up opens it again on record 1 of the
// new database; Yes to the help prompt shows the help file first.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/help_viewer.h"
#include "app/startup.h"
#include "tests/ui/window_fixture.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {
namespace {

using WindowScript = std::function<void(MainWindow&)>;

// Runs start-up in `folder`; each opening of the window is worked by the
// next script and ends with whatever that script left as its result.
struct StartupRun {
  FaultyEnv env;
  ScriptedPrompt prompt;
  IconChooser icons{3};
  ExchangeActions actions = default_exchange_actions();
  std::vector<WindowScript> scripts;
  std::size_t openings = 0;
  std::vector<std::string> events;

  int run(const fs::path& folder) {
    StartupHooks hooks;
    hooks.run_window = [this](const Layout& layout) {
      events.push_back("window");
      EditorModel model(env, layout, prompt);
      MainWindow window(model, icons, actions);
      window.show();
      if (openings < scripts.size()) scripts[openings](window);
      ++openings;
      return window.isVisible() ? static_cast<int>(kEndClosed) : window.result();
    };
    hooks.show_help = [this](const Layout& layout) {
      events.push_back("help");
      show_help(layout);
    };
    return run_startup(env, folder, prompt, hooks);
  }
};

QStringList shown(MainWindow& window, ListKind kind) {
  QStringList texts;
  for (int row = 0; row < window.list_widget(kind)->count(); ++row) texts.append(window.list_widget(kind)->item(row)->text());
  return texts;
}

void click(MainWindow& window, const char* name) {
  QTest::mouseClick(window.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

}  // namespace

class StartupWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aCompletedImportReopensTheWindowOnRecordOneOfTheNewDatabase() {
    TempFolder folder;
    write_database(folder.path(), five_records());
    // An exchange file whose one record extends stored record 1 (its lists
    // in the stored order, which the fingerprints follow).
    write_bytes(folder / "extends.CMX",
                "[Version]\r\nHandler=ZENFARO.EXE\r\nExportFileVersion=99\r\n\r\n[Exported Commentary]\r\n" +
                    count(1) + count(2) + line("trigger 1") + line("Alpha 1") + count(1) + line("exclusion 1") +
                    count(1) + line("imported line"));
    StartupRun run;
    run.prompt.answers = {false, true};  // no help; yes, import
    run.prompt.files = {(folder / "extends.CMX").u8string()};
    QStringList reopened;
    QString reopened_box;
    run.scripts = {
        [](MainWindow& window) {
          QTest::mouseClick(window.navigator()->up_button(), Qt::LeftButton);
          QTest::mouseClick(window.navigator()->up_button(), Qt::LeftButton);
          QCOMPARE(window.record_box()->text(), QStringLiteral("3"));
          click(window, "import");
          QVERIFY(!window.isVisible());
        },
        [&](MainWindow& window) {
          reopened = shown(window, ListKind::lines);
          reopened_box = window.record_box()->text();
          click(window, "quit");
        }};
    QCOMPARE(run.run(folder.path()), 0);
    QCOMPARE(run.openings, std::size_t{2});
    QCOMPARE(reopened, (QStringList{"line 1", "imported line"}));
    QCOMPARE(reopened_box, QStringLiteral("1"));
    // The help prompt was asked once, at the start, then the confirmation.
    QCOMPARE(run.prompt.questions.size(), std::size_t{2});
    QCOMPARE(run.prompt.questions[1].text, std::string("Are you sure you want to import 1 records ?"));
  }

  void yesToHelpShowsTheHelpFileAndTheWindowOpensAfterItIsClosed() {
    TempFolder folder;
    write_bytes(folder / "cmthelp.txt", "Welcome to the editor.\r\nCaf\xE9 r\xE8gles.\r\n");
    StartupRun run;
    run.prompt.answers = {true};
    QString help_text;
    bool read_only = false;
    QTimer::singleShot(0, [&] {
      auto* viewer = dynamic_cast<HelpViewer*>(QApplication::activeModalWidget());
      if (viewer == nullptr) return;
      help_text = viewer->text_view()->toPlainText();
      read_only = viewer->text_view()->isReadOnly();
      viewer->close();
    });
    run.scripts = {[](MainWindow& window) { click(window, "quit"); }};
    run.run(folder.path());
    QCOMPARE(run.events, (std::vector<std::string>{"help", "window"}));
    QCOMPARE(help_text, QString::fromUtf8("Welcome to the editor.\nCaf\xC3\xA9 r\xC3\xA8gles.\n"));
    QVERIFY(read_only);
  }

  void aMissingHelpFileIsSaidInTheViewer() {
    TempFolder folder;
    HelpViewer viewer(folder / "cmthelp.txt");
    QVERIFY(viewer.text_view()->toPlainText().contains(QStringLiteral("could not be read")));
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::StartupWindowTest)
#include "startup_window_test.moc"
