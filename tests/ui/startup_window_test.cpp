// Start-up with the real window and help viewer: a real import ends the
// window with 123 and start-up opens it again on record 1 of the new
// database; --choose-folder works in the folder the user picks.
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QToolButton>

#include "app/choose_folder.h"
#include "app/editor_options.h"
#include "app/help_viewer.h"
#include "app/startup.h"
#include "tests/ui/window_fixture.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {

class StartupWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aRealImportEndsTheWindowWith123AndItOpensAgainOnRecordOne() {
    TempFolder folder;
    write_database(folder.path(), numbered_records(5));
    write_bytes(folder / "cmthelp.txt", "Caf\xE9 r\xE8gles.\r\n");
    // One record that extends stored record 1.
    write_bytes(folder / "extends.CMX", "[Version]\r\nHandler=ZENFARO.EXE\r\nExportFileVersion=99\r\n\r\n"
                                        "[Exported Commentary]\r\n" + count(1) +
                                            stored(make_record({"trigger 1", "Alpha 1"}, {"exclusion 1"}, {"imported line"})));
    FaultyEnv env;
    ScriptedPrompt prompt;
    prompt.answers = {true, true};  // the help file; the import
    prompt.files = {(folder / "extends.CMX").u8string()};
    IconChooser icons(3);
    QStringList events;
    answer_modal<HelpViewer>([&events](HelpViewer& viewer) {
      events << viewer.text_view()->toPlainText() + (viewer.text_view()->isReadOnly() ? "read-only" : "");
    });
    StartupHooks hooks;
    hooks.show_help = show_help;
    hooks.run_window = [&](const Layout& layout) {
      EditorModel model(env, layout, prompt);
      MainWindow window(model, icons);
      window.show();
      QStringList lines;
      for (int row = 0; row < window.list_widget(ListKind::lines)->count(); ++row) lines << window.list_widget(ListKind::lines)->item(row)->text();
      events << window.record_box()->text() + ": " + lines.join(", ");
      QTest::mouseClick(window.navigator()->up_button(), Qt::LeftButton);
      QTest::mouseClick(window.findChild<QPushButton*>(events.size() == 2 ? "import" : "quit"), Qt::LeftButton);
      events << "ended " + QString::number(window.result());
      return window.result();
    };
    QCOMPARE(run_startup(env, folder.path(), prompt, hooks), 0);
    QCOMPARE(events, (QStringList{QString::fromUtf8("Caf\xC3\xA9 r\xC3\xA8gles.\nread-only"), "1: line 1", "ended 123",
                                  "1: line 1, imported line", "ended 1"}));
    QCOMPARE(stored_records(folder.path()).at(0).list(ListKind::lines), (EntryList{"line 1", "imported line"}));
  }

  void chooseFolderOffersTheLastFolderAndCancelEnds() {
    TempFolder scratch;
    const QString before = QDir::currentPath();
    const QString game = QString::fromStdString((scratch / "game").u8string());
    QVERIFY(QDir().mkpath(game));
    QSettings settings(QString::fromStdString((scratch / "settings.ini").u8string()), QSettings::IniFormat);
    ScriptedPrompt prompt;
    QStringList offered;
    const auto choosing = [&offered](const QString& chosen) {
      return [&offered, chosen](const QString& start) {
        offered << start;
        return chosen;
      };
    };
    QVERIFY(enter_chosen_folder(settings, prompt, choosing(game)));
    QCOMPARE(QDir::currentPath(), QDir(game).canonicalPath());
    QDir::setCurrent(before);
    QVERIFY(!enter_chosen_folder(settings, prompt, choosing(QString())));  // cancelled: the editor ends
    QVERIFY(!enter_chosen_folder(settings, prompt, choosing(game + "/missing")));
    QCOMPARE(prompt.errors(), 1);
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(offered, (QStringList{QDir::homePath(), game, game}));
    const char* argv[] = {"zenfaro", "x", "--help", "--version", "--choose-folder"};  // "x" is ignored
    const EditorOptions all = parse_editor_options(5, argv), none = parse_editor_options(2, argv);
    QVERIFY(all.choose_folder && all.help && all.version && !none.choose_folder && !none.help && !none.version);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::StartupWindowTest)
#include "startup_window_test.moc"
