// The editor's command line: the options it knows (anything else is
// ignored), and --choose-folder, whose chosen folder becomes the working
// folder and is offered first the next time.
#include <QDir>
#include <QSettings>
#include <QTest>
#include <vector>

#include "app/choose_folder.h"
#include "app/editor_options.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"

namespace zenfaro::testing {

class ChooseFolderTest : public QObject {
  Q_OBJECT

 private slots:
  void optionsAreRecognisedAndAnythingElseIgnored() {
    const struct {
      std::vector<const char*> argv;
      bool choose, help, version;
    } rows[] = {
        {{"zenfaro"}, false, false, false},
        {{"zenfaro", "--choose-folder"}, true, false, false},
        {{"zenfaro", "x", "--help", "-C"}, false, true, false},
        {{"zenfaro", "--version", "--choose-folder"}, true, false, true},
        {{"zenfaro", "--choose-folder=x", "-version"}, false, false, false},
    };
    for (const auto& row : rows) {
      const EditorOptions options = parse_editor_options(static_cast<int>(row.argv.size()), row.argv.data());
      QCOMPARE(options.choose_folder, row.choose);
      QCOMPARE(options.help, row.help);
      QCOMPARE(options.version, row.version);
    }
    QVERIFY(editor_version_text() == "zenfaro " ZENFARO_VERSION "\n");
  }

  void theChosenFolderBecomesTheWorkingFolderAndIsOfferedNextTime() {
    TempFolder scratch;
    const QString before = QDir::currentPath();
    const QString game = QString::fromStdString((scratch / "game").u8string());
    QVERIFY(QDir().mkpath(game));
    QSettings settings(QString::fromStdString((scratch / "settings.ini").u8string()), QSettings::IniFormat);
    ScriptedPrompt prompt;
    QStringList offered;
    const auto choosing = [&offered](const QString& answer) {
      return [&offered, answer](const QString& start) {
        offered.append(start);
        return answer;
      };
    };

    QVERIFY(enter_chosen_folder(settings, prompt, choosing(game)));
    QCOMPARE(QDir::currentPath(), QDir(game).canonicalPath());
    QDir::setCurrent(before);
    // Cancelled: the working folder stays.
    QVERIFY(!enter_chosen_folder(settings, prompt, choosing(QString())));
    QCOMPARE(QDir::currentPath(), before);
    // A folder that cannot be entered is said and not remembered.
    QVERIFY(!enter_chosen_folder(settings, prompt, choosing(game + QStringLiteral("/missing"))));
    QCOMPARE(QDir::currentPath(), before);
    QCOMPARE(prompt.errors(), 1);
    QVERIFY(!enter_chosen_folder(settings, prompt, choosing(QString())));

    QCOMPARE(offered, (QStringList{QDir::homePath(), game, game, game}));
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::ChooseFolderTest)
#include "choose_folder_test.moc"
