// The window's prompt: message boxes with no owner, Yes/No with the right
// default, and the open and save dialogs of the two exchange buttons.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/support/temp_folder.h"
#include "ui/model/exchange_commands.h"
#include "ui/qt_prompt.h"

namespace zenfaro::testing {
namespace {

template <typename Dialog>
void answer_later(const std::function<void(Dialog&)>& answer) {
  QTimer::singleShot(0, [answer] {
    if (auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget())) answer(*dialog);
  });
}

// Runs `body` with the process's working folder set to `folder`.
void in_folder(const fs::path& folder, const std::function<void()>& body) {
  const QString before = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(folder.u8string()));
  body();
  QDir::setCurrent(before);
}

QLineEdit* name_box(QFileDialog& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); }

}  // namespace

class PromptTest : public QObject {
  Q_OBJECT

 private slots:
  void questionsHaveYesAndNoTheirDefaultAndIcon() {
    const auto box = question_box({"Are you sure ?", "Confirm Action", Icon::question, false, {}});
    QCOMPARE(box->windowTitle(), QStringLiteral("Confirm Action"));
    QCOMPARE(box->text(), QStringLiteral("Are you sure ?"));
    QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
    QCOMPARE(box->icon(), QMessageBox::Question);
    QVERIFY(box->parent() == nullptr);
    const auto help = question_box({"Help ?", "See help file ?", Icon::none, true, {}});
    QCOMPARE(static_cast<QAbstractButton*>(help->defaultButton()), help->button(QMessageBox::Yes));
    QCOMPARE(help->icon(), QMessageBox::NoIcon);
    QVERIFY(help->detailedText().isEmpty());
    // The import's details, on request; the question and its buttons stay.
    const auto import = question_box({"Import ?", "Confirm Import", Icon::question, false, "3 new records.\n"});
    QCOMPARE(import->detailedText(), QStringLiteral("3 new records.\n"));
    QCOMPARE(import->text(), QStringLiteral("Import ?"));
    QCOMPARE(import->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  }

  void messagesHaveOneOkButtonAndTheDefaultCaption() {
    const auto box = message_box({"Done."});
    QCOMPARE(box->windowTitle(), QString::fromLatin1(kDefaultCaption));
    QCOMPARE(box->standardButtons(), QMessageBox::Ok);
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    QCOMPARE(message_box({"Failed.", kDefaultCaption, Icon::error})->icon(), QMessageBox::Critical);
  }

  void onlyYesAnswersYes() {
    QtPrompt prompt;
    const Question question{"Sure ?", "Confirm Action", Icon::question, false, {}};
    answer_later<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    QVERIFY(prompt.ask(question));
    answer_later<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    QVERIFY(!prompt.ask(question));
    answer_later<QMessageBox>([](QMessageBox& box) { box.close(); });
    QVERIFY(!prompt.ask(question));
  }

  void theImportDialogOpensOnTheWorkingFolderWithThePattern() {
    TempFolder folder;
    in_folder(folder.path(), [] {
      const auto dialog = file_dialog(import_request());
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Cross-Reference Output File"));
      QCOMPARE(dialog->nameFilters(), QStringList{"Cross References (*.CMX)"});
      QCOMPARE(dialog->defaultSuffix(), QStringLiteral("CMX"));
      QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
      QCOMPARE(dialog->fileMode(), QFileDialog::AnyFile);
      QCOMPARE(QDir(dialog->directory()).canonicalPath(), QDir::current().canonicalPath());
      QVERIFY(name_box(*dialog) != nullptr);
      QCOMPARE(name_box(*dialog)->text(), QStringLiteral("*.CMX"));
    });
  }

  void theExportDialogAsksBeforeReplacing() {
    const auto dialog = file_dialog(export_request());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Commentary Export"));
    QCOMPARE(dialog->nameFilters(), QStringList{"Commentary Exports (*.CMX)"});
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
    QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
  }

  void aTypedNameGetsTheDefaultExtensionAndTheFolderStays() {
    TempFolder folder;
    fs::create_directories(folder / "elsewhere");
    in_folder(folder.path(), [&] {
      QtPrompt prompt;
      for (const FileRequest& request : {import_request(), export_request()}) {
        answer_later<QFileDialog>([&](QFileDialog& dialog) {
          dialog.setDirectory(QString::fromStdString((folder / "elsewhere").u8string()));
          name_box(dialog)->setText(QStringLiteral("mine"));
          static_cast<QDialog&>(dialog).accept();
        });
        const std::optional<std::string> chosen = prompt.choose_file(request);
        QVERIFY(chosen.has_value());
        QCOMPARE(fs::u8path(*chosen), folder / "elsewhere" / "mine.CMX");
        QCOMPARE(QDir::current().canonicalPath(), QDir(QString::fromStdString(folder.path().u8string())).canonicalPath());
      }
    });
  }

  void decliningTheReplaceQuestionReturnsToTheDialog() {
    TempFolder folder;
    write_bytes(folder / "old.CMX", "old");
    in_folder(folder.path(), [&] {
      QtPrompt prompt;
      bool asked = false;
      bool back_in_dialog = false;
      answer_later<QFileDialog>([&](QFileDialog& dialog) {
        answer_later<QMessageBox>([&](QMessageBox& box) {
          asked = true;
          box.button(QMessageBox::No)->click();
        });
        name_box(dialog)->setText(QStringLiteral("old.CMX"));
        static_cast<QDialog&>(dialog).accept();
        back_in_dialog = dialog.isVisible();
        dialog.reject();
      });
      QVERIFY(!prompt.choose_file(export_request()).has_value());
      QVERIFY(asked);
      QVERIFY(back_in_dialog);
      QCOMPARE(read_bytes(folder / "old.CMX"), std::string("old"));
    });
  }

  void theDialogOpensOverTheEditorWindowAndCancelReturnsNothing() {
    QDialog editor;  // the editor window runs modally
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    QtPrompt prompt;
    QWidget* owner = nullptr;
    answer_later<QFileDialog>([&owner](QFileDialog& dialog) {
      owner = dialog.parentWidget();
      dialog.reject();
    });
    QVERIFY(!prompt.choose_file(import_request()).has_value());
    QCOMPARE(owner, static_cast<QWidget*>(&editor));
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::PromptTest)
#include "prompt_test.moc"
