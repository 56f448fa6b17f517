// The dialogs as dialogs: Modify Entry (opened by a double-click), Find
// (Ctrl+F), and the prompt's message boxes and file dialogs.
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
    QTest::addColumn<int>("list");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("told");
    QTest::newRow("OK puts the text in the entry's place") << 0 << "ok" << "zulu, trigger 1" << 0;
    QTest::newRow("Cancel") << 1 << "cancel" << "exclusion 1" << 0;
    QTest::newRow("the close box") << 2 << "close" << "line 1" << 0;
    QTest::newRow("a key beyond 4999 characters") << 2 << "long" << QString(4999, 'x') << 1;
  }

  void modifyEntry() {
    QFETCH(int, list);
    QFETCH(QString, answer);
    const auto kind = static_cast<ListKind>(list);
    WindowFixture f;
    const DialogUnits du = dialog_units(dialog_font());
    IconChooser same_seed(1);
    same_seed.next();  // the window's
    const QString entry = f.list(kind)->item(0)->text();
    answer_modal<ModifyEntryDialog>([&](ModifyEntryDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Modify Entry"));
      QVERIFY(dialog.isModal() && dialog.parentWidget() == f.window.get());
      QCOMPARE(QRect(dialog.pos(), dialog.size()),
               QRect(f.window->mapToGlobal(du.point(26, 24)), QSize(du.x(300), du.y(36))));
      QCOMPARE(dialog.property("iconResource").toInt(), same_seed.next());
      QWidget* box = dialog.edit_box();
      QCOMPARE((QStringList{id_and_caption(box), id_and_caption(box->nextInFocusChain()),
                            id_and_caption(box->nextInFocusChain()->nextInFocusChain())}),
               (QStringList{"101 " + entry, "102 &Cancel", "103 &OK"}));
      QTest::keyClick(box, Qt::Key_Escape);
      QTest::keyClick(box, Qt::Key_Return);
      QVERIFY(dialog.isVisible());
      dialog.edit_box()->setText(answer == "long" ? QString(4999, 'x') : QStringLiteral("zulu"));
      if (answer == "long") QTest::keyClick(box, Qt::Key_Y);  // the 5000th: refused, and told
      QCoreApplication::processEvents();
      if (answer == "close") dialog.close();
      else QTest::mouseClick(answer == "cancel" ? dialog.cancel_button() : dialog.ok_button(), Qt::LeftButton);
    });
    f.double_click(kind, 0);
    QTEST(f.shown(kind), "shown");
    QTEST(f.prompt.errors(), "told");
    QCOMPARE(f.list(kind)->currentRow(), 0);
  }

  void ctrlFFindsThroughTheRecordBoxSelectsAndScrollsOrLeavesEverything() {
    std::vector<Record> records = numbered_records(3);
    EntryList many(60, "filler");
    many[50] = "the needle";
    records.push_back(make_record({}, {}, many));
    WindowFixture f(records);
    f.window->item_box()->setText(QStringLiteral("pending"));  // saved on the way to the match
    f.click("addLines");
    QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* find = f.window->find_dialog();
    QVERIFY(find != nullptr && find->isVisible() && !find->isModal() && find->parentWidget() == f.window.get());
    QTRY_VERIFY(QApplication::focusWidget() == find->text_box());
    QListWidget* lines = f.list(ListKind::lines);
    for (const char* text : {"needle", "haystack"}) {  // nothing found: a message, and nothing moves
      find->text_box()->setText(QString::fromLatin1(text));
      QTest::keyClick(find->text_box(), Qt::Key_Return);  // "Find &Next" is its default button
      QCOMPARE(f.window->record_box()->text(), QStringLiteral("4"));
      QCOMPARE(lines->selectedItems(), QList<QListWidgetItem*>{lines->item(50)});
      QVERIFY(lines->viewport()->rect().contains(lines->visualItemRect(lines->item(50))));
    }
    QCOMPARE(f.records().at(0).list(ListKind::lines), (EntryList{"line 1", "pending"}));
    QCOMPARE(f.prompt.messages.back().text, std::string("\"haystack\" was not found."));
  }

  void messageBoxesHaveNoOwnerAndTheirCaptionIconButtonsAndDefault() {
    const auto shown = [](const QMessageBox& box) {
      const QStringList icons{"", "information", "warning", "critical", "question"};
      QStringList buttons;  // the default one in brackets
      for (QAbstractButton* b : box.buttons()) buttons << (b == box.defaultButton() ? "[" + b->text() + "]" : b->text());
      buttons.sort();
      return QStringList{box.windowTitle(), icons.at(box.icon()), buttons.join(' '), box.detailedText()}.join(" | ");
    };
    const struct { std::unique_ptr<QMessageBox> box; const char* shown; } rows[] = {
        {question_box({"?", "Confirm Action", Icon::question, false, {}}), "Confirm Action | question | &Yes [&No] | "},
        {question_box({"?", "See help file ?", Icon::none, true, {}}), "See help file ? |  | &No [&Yes] | "},
        {question_box({"?", "Confirm Import", Icon::question, false, "3 new."}),
         "Confirm Import | question | &Yes Show Details... [&No] | 3 new."},
        {message_box({"Done."}), "Pelmar 7 Ostrin Commentary Engine |  | [OK] | "},
        {message_box({"!", kDefaultCaption, Icon::error}), "Pelmar 7 Ostrin Commentary Engine | critical | [OK] | "},
    };
    for (const auto& row : rows) {
      QCOMPARE(shown(*row.box), QString::fromLatin1(row.shown));
      QVERIFY(row.box->parent() == nullptr);
    }
  }

  void fileDialogsOpenOverTheEditorOnTheWorkingFolderAndCancelGivesNothing() {
    TempFolder folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path().u8string()));
    QDialog editor;  // the editor window runs modally
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    QtPrompt prompt;
    const struct { FileRequest request; const char* shown; } rows[] = {
        {import_request(), "Cross-Reference Output File | Cross References (*.CMX) | *.CMX | CMX | open"},
        {export_request(), "Commentary Export | Commentary Exports (*.CMX) | *.CMX | CMX | save, asks to replace"},
    };
    for (const auto& row : rows) {
      QString shown;
      answer_modal<QFileDialog>([&](QFileDialog& dialog) {
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        shown = QStringList{dialog.windowTitle(), dialog.nameFilters().join(';'), name->text(), dialog.defaultSuffix(),
                            dialog.acceptMode() == QFileDialog::AcceptSave ? "save" : "open"}
                    .join(QStringLiteral(" | "));
        if (!dialog.testOption(QFileDialog::DontConfirmOverwrite)) shown += QStringLiteral(", asks to replace");
        QVERIFY(dialog.parentWidget() == &editor);
        QCOMPARE(dialog.directory().canonicalPath(), QDir::current().canonicalPath());
        name->setText(QStringLiteral("mine"));  // a new file, without its extension
        static_cast<QDialog&>(dialog).accept();
      });
      QCOMPARE(fs::u8path(prompt.choose_file(row.request).value_or("")), fs::canonical(folder.path()) / "mine.CMX");
      QCOMPARE(shown, QString::fromLatin1(row.shown));
      answer_modal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
      QVERIFY(!prompt.choose_file(row.request).has_value());
    }
    QDir::setCurrent(before);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::DialogsTest)
#include "dialogs_test.moc"
