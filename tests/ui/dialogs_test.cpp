// The dialogs as dialogs: Modify Entry (opened by a double-click), Find
// (Ctrl+F), the message boxes and the two file dialogs of the prompt.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "tests/ui/window_fixture.h"
#include "ui/dialog_units.h"
#include "ui/find_dialog.h"
#include "ui/model/exchange_commands.h"
#include "ui/modify_entry_dialog.h"
#include "ui/qt_prompt.h"

namespace zenfaro::testing {

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void modifyEntry_data() {
    QTest::addColumn<ListKind>("list");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("told");
    QTest::newRow("OK puts the text in the entry's place") << ListKind::triggers << "ok" << "zulu, trigger 1" << 0;
    QTest::newRow("Cancel") << ListKind::exclusions << "cancel" << "exclusion 1" << 0;
    QTest::newRow("the close box") << ListKind::lines << "close" << "line 1" << 0;
    QTest::newRow("a key beyond 4999 characters") << ListKind::lines << "long" << QString(4999, 'x') << 1;
  }

  void modifyEntry() {
    QFETCH(ListKind, list);
    QFETCH(QString, answer);
    WindowFixture f;
    const DialogUnits du = dialog_units(dialog_font());
    IconChooser same_seed(7);
    same_seed.next();  // the window's
    const QString entry = f.list(list)->item(0)->text();
    answer_modal<ModifyEntryDialog>([&](ModifyEntryDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Modify Entry"));
      QVERIFY(dialog.isModal() && dialog.parentWidget() == f.window.get());
      QCOMPARE(QRect(dialog.pos(), dialog.size()), QRect(f.window->mapToGlobal(du.point(26, 24)), QSize(du.x(300), du.y(36))));
      QCOMPARE(dialog.property("iconResource").toInt(), same_seed.next());
      QStringList tab_order;
      for (QWidget* widget = dialog.edit_box(); tab_order.size() < 3; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus) tab_order << id_and_caption(widget);
      }
      QCOMPARE(tab_order, (QStringList{"101 " + entry, "102 &Cancel", "103 &OK"}));
      QVERIFY(!dialog.ok_button()->autoDefault() && !dialog.cancel_button()->autoDefault());
      QTest::keyClick(dialog.edit_box(), Qt::Key_Escape);
      QTest::keyClick(dialog.edit_box(), Qt::Key_Return);
      QVERIFY(dialog.isVisible());
      dialog.edit_box()->setText(answer == "long" ? QString(4999, 'x') : QStringLiteral("zulu"));
      if (answer == "long") QTest::keyClick(dialog.edit_box(), Qt::Key_Y);  // the 5000th: refused, and told
      QCoreApplication::processEvents();
      if (answer == "close") {
        dialog.close();
      } else {
        QTest::mouseClick(answer == "cancel" ? dialog.cancel_button() : dialog.ok_button(), Qt::LeftButton);
      }
    });
    f.double_click(list, 0);
    QTEST(f.shown(list), "shown");
    QTEST(f.prompt.errors(), "told");
    QCOMPARE(f.list(list)->currentRow(), 0);
  }

  void ctrlFFindsThroughTheRecordBoxSelectsAndScrollsOrLeavesEverything() {
    std::vector<Record> records = numbered_records(3);
    EntryList lines(60, "filler");
    lines[50] = "the needle";
    records.push_back(make_record({}, {}, lines));
    WindowFixture f(records);
    f.window->item_box()->setText(QStringLiteral("pending"));
    f.click("addLines");
    QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* find = f.window->find_dialog();
    QVERIFY(find != nullptr && find->isVisible() && !find->isModal() && find->parentWidget() == f.window.get());
    QTRY_VERIFY(QApplication::focusWidget() == find->text_box());
    QTest::keyClicks(find->text_box(), "needle");
    QTest::keyClick(find->text_box(), Qt::Key_Return);  // "Find &Next" is its default button
    QListWidget* shown = f.list(ListKind::lines);
    const auto where = [&] {
      const QList<QListWidgetItem*> selected = shown->selectedItems();
      const bool in_view = selected.size() == 1 && shown->viewport()->rect().contains(shown->visualItemRect(selected[0]));
      return QStringLiteral("record %1, line %2%3").arg(f.window->record_box()->text()).arg(shown->currentRow()).arg(in_view ? " in view" : "");
    };
    QCOMPARE(where(), QStringLiteral("record 4, line 50 in view"));
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::lines), (EntryList{"line 1", "pending"}));
    find->text_box()->setText(QStringLiteral("haystack"));
    QTest::mouseClick(find->next_button(), Qt::LeftButton);
    QCOMPARE(f.prompt.messages.back().text, std::string("\"haystack\" was not found."));
    QCOMPARE(where(), QStringLiteral("record 4, line 50 in view"));
    QTest::keyClick(find->text_box(), Qt::Key_Escape);
    QVERIFY(!find->isVisible());
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(f.window->find_dialog() == find && find->isVisible());
    QCOMPARE(find->text_box()->selectedText(), QStringLiteral("haystack"));
  }

  void messageBoxesHaveNoOwnerAndTheirCaptionIconButtonsAndDefault() {
    using B = QMessageBox;
    const struct { std::unique_ptr<QMessageBox> box; const char* caption; B::Icon icon; B::StandardButton yes, no, default_button; const char* details; } rows[] = {
        {question_box({"Sure ?", "Confirm Action", Icon::question, false, {}}), "Confirm Action", B::Question, B::Yes, B::No, B::No, ""},
        {question_box({"Help ?", "See help file ?", Icon::none, true, {}}), "See help file ?", B::NoIcon, B::Yes, B::No, B::Yes, ""},
        {question_box({"Import ?", "Confirm Import", Icon::question, false, "3 new records.\n"}), "Confirm Import", B::Question, B::Yes, B::No, B::No, "3 new records.\n"},
        {message_box({"Done."}), kDefaultCaption, B::NoIcon, B::Ok, B::NoButton, B::Ok, ""},
        {message_box({"Careful.", kDefaultCaption, Icon::warning}), kDefaultCaption, B::Warning, B::Ok, B::NoButton, B::Ok, ""},
        {message_box({"Failed.", kDefaultCaption, Icon::error}), kDefaultCaption, B::Critical, B::Ok, B::NoButton, B::Ok, ""},
    };
    for (const auto& row : rows) {
      QCOMPARE(row.box->windowTitle(), QString::fromLatin1(row.caption));
      QCOMPARE(row.box->icon(), row.icon);
      QCOMPARE(row.box->standardButtons(), B::StandardButtons(row.yes | row.no));
      QVERIFY(row.box->defaultButton() == row.box->button(row.default_button));
      QCOMPARE(row.box->detailedText(), QString::fromLatin1(row.details));
      QVERIFY(row.box->parent() == nullptr);
    }
    QtPrompt prompt;
    const std::pair<B::StandardButton, bool> answers[] = {{B::Yes, true}, {B::No, false}, {B::Cancel, false}};
    for (const auto& [button, yes] : answers) {
      answer_modal<QMessageBox>([button = button](QMessageBox& box) {
        if (box.button(button) != nullptr) box.button(button)->click();  // Cancel: the close box
      });
      QCOMPARE(prompt.ask({"Sure ?", "Confirm Action", Icon::question, false, {}}), yes);
    }
  }

  void fileDialogsOpenOverTheEditorOnTheWorkingFolderAndCancelGivesNothing() {
    TempFolder folder;
    fs::create_directories(folder / "elsewhere");
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path().u8string()));
    const QString working = QDir::currentPath();
    QDialog editor;  // the editor window runs modally
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    QtPrompt prompt;
    const struct { FileRequest request; const char* shown; } rows[] = {
        {import_request(), "Cross-Reference Output File | Cross References (*.CMX) | *.CMX | CMX | open"},
        {export_request(), "Commentary Export | Commentary Exports (*.CMX) | *.CMX | CMX | save, asks before replacing"},
    };
    for (const auto& row : rows) {
      QString shown;
      answer_modal<QFileDialog>([&](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        shown = QStringList{dialog.windowTitle(), dialog.nameFilters().join(';'), name->text(), dialog.defaultSuffix(),
                            dialog.acceptMode() == QFileDialog::AcceptSave ? "save" : "open"}
                    .join(QStringLiteral(" | "));
        if (!dialog.testOption(QFileDialog::DontConfirmOverwrite)) shown += QStringLiteral(", asks before replacing");
        QVERIFY(dialog.parentWidget() == &editor);
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(working).canonicalPath());
        dialog.setDirectory(QString::fromStdString((folder / "elsewhere").u8string()));
        name->setText(QStringLiteral("mine"));  // a new file, without its extension
        static_cast<QDialog&>(dialog).accept();
      });
      QCOMPARE(fs::u8path(prompt.choose_file(row.request).value_or("")), folder / "elsewhere" / "mine.CMX");
      QCOMPARE(shown, QString::fromLatin1(row.shown));
      QCOMPARE(QDir::currentPath(), working);
      answer_modal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
      QVERIFY(!prompt.choose_file(row.request).has_value());
    }
    QDir::setCurrent(before);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::DialogsTest)
#include "dialogs_test.moc"
