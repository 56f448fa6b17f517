// The main window and its dialogs as only the window shows them: controls, keys, commands, text, dialogs, end codes.
#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <functional>
#include <memory>

#include "app/choose_folder.h"
#include "app/help_viewer.h"
#include "app/smoke_run.h"
#include "app/startup.h"
#include "core/cp1252.h"
#include "editor/exchange_commands.h"
#include "tests/support/database_folder.h"
#include "ui/details_question.h"
#include "ui/dialog_units.h"
#include "ui/entry_text.h"
#include "ui/expansion_tip.h"
#include "ui/find_dialog.h"
#include "ui/icons.h"
#include "ui/main_window.h"
#include "ui/modify_entry_dialog.h"
#include "ui/placement.h"
#include "ui/progress_display.h"
#include "ui/qt_prompt.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {
namespace {

std::vector<Record> numbered_records(int count) {  // k: "trigger k", "Alpha k" | "exclusion k" | "line k"
  std::vector<Record> records;
  for (int k = 1; k <= count; ++k) {
    const std::string n = std::to_string(k);
    records.push_back(make_record({"trigger " + n, "Alpha " + n}, {"exclusion " + n}, {"line " + n}));
  }
  return records;
}

// Lets `answer` work the modal dialog of type D that opens next; one left open is closed: a failure cannot hang.
template <typename D>
void answer_modal(std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
    if (dialog != nullptr) answer(*dialog);
    if (dialog != nullptr && dialog->isVisible()) dialog->close();
  });
}

// The database folder with the editing model and the real main window over it, shown offscreen and active.
struct WindowFixture : DatabaseFolder {
  explicit WindowFixture(const std::vector<Record>& records = numbered_records(5)) {
    store(records);
    model = std::make_unique<EditorModel>(env, layout(), prompt);
    window = std::make_unique<MainWindow>(*model, icons);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
  }

  IconChooser icons{1};  // draws 1 for the window, then 2
  std::unique_ptr<EditorModel> model;
  std::unique_ptr<MainWindow> window;

  QListWidget* list(ListKind kind) const { return window->list_widget(kind); }
  void click(const char* button) const { QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton); }
  QString shown(ListKind kind) const {  // the texts a list shows, top to bottom, as "a, b"
    QStringList texts;
    for (int row = 0; row < list(kind)->count(); ++row) texts << list(kind)->item(row)->text();
    return texts.join(QStringLiteral(", "));
  }
  void double_click(ListKind kind, int row) const {
    const QPoint centre = list(kind)->visualItemRect(list(kind)->item(row)).center();
    QTest::mouseClick(list(kind)->viewport(), Qt::LeftButton, Qt::NoModifier, centre);  // a click comes first
    QTest::mouseDClick(list(kind)->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  }
};

QString id_and_caption(const QWidget* widget) {  // "ID CAPTION": its "controlId" property and its text
  return widget->property("controlId").toString() + ' ' + widget->property("text").toString();
}

// What the window shows, the records stored (whether the first holds "kept"), what was asked or told, the end.
QStringList state(const WindowFixture& f) {
  QStringList parts{"T: " + f.shown(ListKind::triggers), "X: " + f.shown(ListKind::exclusions),
                    "L: " + f.shown(ListKind::lines), "item " + f.window->item_box()->text(),
                    "record " + f.window->record_box()->text()};
  if (QApplication::focusWidget() != nullptr) parts << "focus " + QApplication::focusWidget()->objectName();
  const std::vector<Record> stored = f.records();
  const EntryList& first = stored.at(0).list(ListKind::triggers);
  const bool kept = std::count(first.begin(), first.end(), "kept") > 0;
  parts << QString::number(stored.size()) + (kept ? " stored, kept" : " stored");
  for (const Question& question : f.prompt.questions) parts << QString::fromStdString(question.caption);
  for (const FileRequest& request : f.prompt.file_requests) parts << QString::fromStdString(request.title);
  if (f.prompt.errors() > 0) parts << "told";
  if (!f.window->isVisible()) parts << "ended " + QString::number(f.window->result());
  return parts;
}

// What `act` changes in the state, as "PART | PART".
QString changes(const WindowFixture& f, const std::function<void()>& act) {
  const QStringList before = state(f);
  act();
  QStringList after = state(f);
  for (const QString& part : before) after.removeOne(part);
  return after.join(QStringLiteral(" | "));
}

std::function<void(WindowFixture&)> press(const char* button) {
  return [button](auto& f) { f.click(button); };
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aFixedDialogInFontUnitsWithItsControlsInOrderAndTheSeededIcon() {
    WindowFixture f;
    const DialogUnits du = dialog_units(dialog_font());
    QVERIFY(f.window->windowTitle() == "Pelmar 7 Ostrin Commentary Engine Beta 4" && f.window->font() == dialog_font());
    const QPoint screen = QGuiApplication::primaryScreen()->geometry().topLeft();
    QCOMPARE(QRect(f.window->pos(), f.window->minimumSize()),
             QRect(screen + du.point(6, 18), QSize(du.x(332), du.y(246))));
    QVERIFY(f.window->maximumSize() == f.window->minimumSize() && f.window->parent() == nullptr);
    QCOMPARE(f.window->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
             Qt::WindowFlags(Qt::WindowCloseButtonHint));
    QVERIFY(f.window->property("iconResource").toInt() == IconChooser(1).next() && icon_image(1) != icon_image(2));
    // A unit is a quarter of the average letter width across, an eighth of the height down.
    QCOMPARE(du.base_y, QFontMetrics(dialog_font()).height());
    QCOMPARE((DialogUnits{6, 13}.rect(10, 210, 30, 12)), QRect(15, 341, 45, 20));
    const QRect box = du.rect(10, 210, 30, 12);
    const QRect navigator(box.topLeft(), QSize(du.x(8), box.height()));  // at the box's left edge, narrowing it
    const struct {
      int id;
      const char* caption;
      QRect place;
    } controls[] = {{104, "&Triggers", du.rect(3, 6, 121, 8)},
                    {101, "", du.rect(2, 17, 162, 52)},
                    {114, "Delete", du.rect(134, 2, 30, 14)},
                    {105, "&Exclusion Triggers", du.rect(168, 6, 121, 8)},
                    {102, "", du.rect(168, 17, 162, 52)},
                    {115, "Delete", du.rect(300, 2, 30, 14)},
                    {106, "Commentary &Lines", du.rect(2, 76, 121, 8)},
                    {103, "", du.rect(2, 87, 328, 92)},
                    {116, "Delete", du.rect(300, 71, 30, 14)},
                    {107, "Item To &Add:", du.rect(1, 184, 49, 8)},
                    {108, "", du.rect(46, 182, 284, 12)},
                    {109, "Add To T&riggers", du.rect(46, 196, 92, 14)},
                    {110, "Add To E&xclusion", du.rect(142, 196, 92, 14)},
                    {111, "Add To Co&mmentary", du.rect(238, 196, 92, 14)},
                    {120, "&Import Commentary", du.rect(142, 212, 92, 14)},
                    {119, "E&xport Commentary", du.rect(238, 212, 92, 14)},
                    {112, "&Save Record", du.rect(46, 228, 92, 14)},
                    {117, "&Delete Record", du.rect(142, 228, 92, 14)},
                    {118, "&Quit", du.rect(238, 228, 92, 14)},
                    {199, "", navigator},
                    {113, "1", box.adjusted(navigator.width(), 0, 0, 0)}};
    QList<QPair<QString, QRect>> expected, created;
    for (const auto& c : controls) expected << qMakePair(QString::number(c.id) + ' ' + c.caption, c.place);
    QStringList tab_stops;
    const QList<QWidget*> widgets = f.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (int i = 0; i < widgets.size(); ++i) {
      created << qMakePair(id_and_caption(widgets[i]), widgets[i]->geometry());
      if (widgets[i]->focusPolicy() & Qt::TabFocus) tab_stops << widgets[i]->property("controlId").toString();
      // Each label's mnemonic leads to the control created after it.
      if (auto* label = qobject_cast<QLabel*>(widgets[i])) QCOMPARE(label->buddy(), widgets.value(i + 1));
    }
    QCOMPARE(created, expected);
    // Creation order is the tab order, without the record box and its navigator.
    QCOMPARE(tab_stops.join(' '), QStringLiteral("101 114 102 115 103 116 108 109 110 111 120 119 112 117 118"));
    for (ListKind kind : kAllLists) QCOMPARE(f.list(kind)->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (QPushButton* button : f.window->findChildren<QPushButton*>()) QVERIFY(!button->autoDefault());
  }

  void eachButtonRunsItsCommandQuitEndsWith1AndTheCloseBoxWith0() {
    const auto type_2 = [](WindowFixture& f) { QTest::keyClick(f.window->record_box(), Qt::Key_2); };  // "12"
    const struct {
      bool disk_fails;
      std::function<void(WindowFixture&)> act;
      const char* changes;
    } rows[] = {{false, press("addTriggers"), "T: Alpha 1, kept, new, trigger 1 | item  | focus item"},
                {false, press("addExclusions"), "X: exclusion 1, new | item  | focus item"},
                {false, press("addLines"), "L: line 1, new | item  | focus item"},
                {false, press("deleteTriggers"), "T: kept, trigger 1 | focus deleteTriggers"},
                {false, press("deleteExclusions"), "X:  | focus deleteExclusions"},
                {false, press("deleteLines"), "L:  | focus deleteLines"},
                {false, press("saveRecord"), "focus saveRecord | 5 stored, kept"},
                {false, press("deleteRecord"),
                 "T: Alpha 2, trigger 2 | X: exclusion 2 | L: line 2 | focus deleteRecord | 4 stored | Confirm Action"},
                {false, press("import"), "focus import | Cross-Reference Output File"},
                {false, press("export"), "focus export | Commentary Export"},
                {false, press("quit"), "5 stored, kept | ended 1"},
                {false, [](WindowFixture& f) { f.window->close(); }, "ended 0"},
                {true, press("quit"), "focus quit | told"},
                {true, type_2, "told"}};  // a failed save: open, entry kept
    for (const auto& row : rows) {
      WindowFixture f;
      f.window->item_box()->setText(QStringLiteral("kept"));
      f.click("addTriggers");
      f.window->item_box()->setText(QStringLiteral("new"));
      for (ListKind kind : kAllLists) f.list(kind)->setCurrentRow(0);
      f.list(ListKind::lines)->setFocus();
      f.prompt.answers = {true};  // the file dialogs are cancelled
      if (row.disk_fails) f.env.fail_at = static_cast<int>(f.env.log.size());
      QCOMPARE(changes(f, [&] { row.act(f); }), QString::fromLatin1(row.changes));
      if (!row.disk_fails) continue;
      f.env.fail_at = -1;  // the entry is still pending: once the disk works, the same command saves it
      row.act(f);
      QVERIFY(state(f).contains(QStringLiteral("5 stored, kept")));
    }
  }

  void keysMoveTheFocusEnterPressesOnlyAFocusedButtonAndStepsWrapInPlainDigits() {
    WindowFixture f(numbered_records(1000));
    f.window->item_box()->setText(QStringLiteral("goal"));
    QLineEdit* box = f.window->record_box();
    QWidget* list = f.list(ListKind::lines);
    const struct {
      QWidget* on;
      QKeyCombination keys;
      const char* focus_record;
    } steps[] = {// on: the focus
                 {nullptr, Qt::ALT | Qt::Key_T, "triggers 1"},
                 {nullptr, Qt::ALT | Qt::Key_E, "exclusions 1"},
                 {nullptr, Qt::ALT | Qt::Key_L, "lines 1"},
                 {nullptr, Qt::ALT | Qt::Key_A, "item 1"},
                 {nullptr, Qt::Key_Return, "item 1"},
                 {nullptr, Qt::Key_Escape, "item 1"},  // no default or cancel button
                 {nullptr, Qt::ALT | Qt::Key_X, "addExclusions 1"},
                 {nullptr, Qt::ALT | Qt::Key_X, "export 1"},  // both X
                 {nullptr, Qt::ALT | Qt::Key_X, "addExclusions 1"},
                 {nullptr, Qt::Key_Return, "item 1"},  // pressed "Add To E&xclusion", the focus back
                 {f.window->navigator()->down_button(), {}, "item 1001"},  // the new-record position
                 {f.window->navigator()->up_button(), {}, "item 1"},
                 {box, Qt::Key_Up, "item 2"},
                 {box, Qt::Key_Down, "item 1"},
                 {list, Qt::CTRL | Qt::Key_PageUp, "item 1001"},
                 {nullptr, Qt::CTRL | Qt::Key_PageDown, "item 1"},
                 {list, Qt::CTRL | Qt::Key_G, "record 1"},  // the number selected: typing replaces it
                 {nullptr, Qt::Key_9, "record 9"},
                 {nullptr, Qt::Key_9, "record 99"},
                 {nullptr, Qt::Key_9, "record 999"},
                 {box, Qt::Key_Up, "record 1000"},
                 {box, Qt::Key_Backspace, "record 100"},
                 {nullptr, Qt::CTRL | Qt::Key_G, "record 100"},  // selected again, though the box has the focus
                 {nullptr, Qt::Key_7, "record 7"}};
    for (const auto& step : steps) {
      QWidget* on = step.on != nullptr ? step.on : QApplication::focusWidget();
      if (qobject_cast<QToolButton*>(on) != nullptr) QTest::mouseClick(on, Qt::LeftButton);
      else QTest::keyClick(on, step.keys.key(), step.keys.keyboardModifiers());
      QVERIFY(QApplication::focusWidget() != nullptr);  // an ended window has none
      QCOMPARE(QApplication::focusWidget()->objectName() + ' ' + box->text(), QString::fromLatin1(step.focus_record));
      QCOMPARE(f.shown(ListKind::lines), box->text() == "1001" ? QString() : "line " + box->text());  // the record
    }
    QCOMPARE(f.records().at(0).list(ListKind::exclusions), (EntryList{"exclusion 1", "goal"}));
  }

  void everyByteValueComesBackFromTheItemBoxAListAndModifyEntryAndTheLongestLineShowsWhole() {
    std::string all, storable;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      all += byte;
      if (byte != '(' && entry_problem(std::string(1, byte), false).empty()) storable += byte;
    }
    storable += '(';  // last, so that no group of alternatives forms
    WindowFixture f(std::vector<Record>{});
    f.window->item_box()->setText(entry_to_text(all));
    QVERIFY(text_to_entry(f.window->item_box()->text()) == all);
    for (const std::string& entry : {storable, std::string("short")}) {
      f.window->item_box()->setText(entry_to_text(entry));
      f.click("addLines");
    }
    QListWidget* lines = f.list(ListKind::lines);
    QVERIFY(text_to_entry(lines->item(0)->text()) == storable);
    answer_modal<ModifyEntryDialog>([](ModifyEntryDialog& d) { QTest::mouseClick(d.ok_button(), Qt::LeftButton); });
    f.double_click(ListKind::lines, 0);  // OK unchanged: the entry is what the dialog's box gave back
    f.click("saveRecord");
    QCOMPARE(f.records().at(0).list(ListKind::lines), (EntryList{storable, "short"}));
    // Every row is as wide as the longest, and the scroll bar reaches its end.
    const int width = lines->fontMetrics().horizontalAdvance(lines->item(0)->text());
    for (int row = 0; row < 2; ++row) QVERIFY(lines->visualItemRect(lines->item(row)).width() > width);
    lines->horizontalScrollBar()->setValue(lines->horizontalScrollBar()->maximum());
    QVERIFY(lines->visualItemRect(lines->item(0)).right() <= lines->viewport()->width());
  }

  void modifyEntryPutsTheTextInTheEntrysPlaceOnOkOnlyAndRefusesAKeyBeyond4999Characters() {
    const struct {
      ListKind kind;
      QString answer, shown;
      int told;
    } rows[] = {{ListKind::triggers, "ok", "zulu, trigger 1", 0},
                {ListKind::exclusions, "cancel", "exclusion 1", 0},
                {ListKind::lines, "close", "line 1", 0},
                {ListKind::lines, "long", QString(4999, 'x'), 1}};
    for (const auto& row : rows) {
      WindowFixture f;
      const DialogUnits du = dialog_units(dialog_font());
      IconChooser same_seed(1);
      same_seed.next();  // the window's
      const QString entry = f.list(row.kind)->item(0)->text();
      answer_modal<ModifyEntryDialog>([&](ModifyEntryDialog& dialog) {
        QVERIFY(dialog.windowTitle() == "Modify Entry" && dialog.isModal() && dialog.parentWidget() == f.window.get());
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
        dialog.edit_box()->setText(row.answer == "long" ? QString(4999, 'x') : QStringLiteral("zulu"));
        if (row.answer == "long") QTest::keyClick(box, Qt::Key_Y);  // the 5000th: refused, and told
        QCoreApplication::processEvents();
        if (row.answer == "close") dialog.close();
        else QTest::mouseClick(row.answer == "cancel" ? dialog.cancel_button() : dialog.ok_button(), Qt::LeftButton);
      });
      f.double_click(row.kind, 0);
      QCOMPARE(f.shown(row.kind), row.shown);
      QVERIFY(f.prompt.errors() == row.told && f.list(row.kind)->currentRow() == 0);
    }
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
    for (const char* text : {"needle", "needle", "haystack"}) {  // found, found again round the end, not found
      find->text_box()->setText(QString::fromLatin1(text));
      QTest::keyClick(find->text_box(), Qt::Key_Return);  // "Find &Next" is its default button
      QCOMPARE(f.window->record_box()->text(), QStringLiteral("4"));
      QCOMPARE(lines->selectedItems(), QList<QListWidgetItem*>{lines->item(50)});
      QVERIFY(lines->viewport()->rect().contains(lines->visualItemRect(lines->item(50))));
    }
    QCOMPARE(f.records().at(0).list(ListKind::lines), (EntryList{"line 1", "pending"}));
    QVERIFY(f.prompt.messages.size() == 1 && f.prompt.messages[0].text == "\"haystack\" was not found.");
  }

  void messageBoxesHaveNoOwnerAndTheirCaptionIconButtonsAndDefault() {
    const auto shown = [](const QMessageBox& box) {
      const QStringList icons{"", "information", "warning", "critical", "question"};
      QStringList buttons;  // the default one in brackets
      for (auto* b : box.buttons()) buttons << (b == box.defaultButton() ? "[" + b->text() + "]" : b->text());
      buttons.sort();
      return QStringList{box.windowTitle(), icons.at(box.icon()), buttons.join(' '), box.detailedText()}.join(" | ") +
             (box.parent() != nullptr ? " (owned)" : "");
    };
    const struct {
      std::unique_ptr<QMessageBox> box;
      const char* shown;
    } rows[] = {
        {question_box({"?", "Confirm Action", Icon::question, false, {}}), "Confirm Action | question | &Yes [&No] | "},
        {question_box({"?", "See help file ?", Icon::none, true, {}}), "See help file ? |  | &No [&Yes] | "},
        {choice_box({"?", "Record changed", Icon::warning, false, "theirs", {"Save as &New Record", "&Replace", "&Cancel"}}),
         "Record changed | warning | &Replace Save as &New Record Show Details... [&Cancel] | theirs"},
        {message_box({"Done."}), "Pelmar 7 Ostrin Commentary Engine |  | [OK] | "},
        {message_box({"!", kDefaultCaption, Icon::error}), "Pelmar 7 Ostrin Commentary Engine | critical | [OK] | "}};
    for (const auto& row : rows) QCOMPARE(shown(*row.box), QString::fromLatin1(row.shown));
  }

  void theWindowKeepsUpWithAnotherProgramUnlessItsRecordWasEdited() {
    WindowFixture f;
    const auto other_saves = [&f](const char* n, const char* text) {
      ScriptedPrompt prompt;
      EditorModel other(default_env(), f.layout(), prompt);
      other.open(false);
      QVERIFY(other.change_stored(std::atoi(n), WriteMode::save, [&] { return other.add_entry(ListKind::lines, text); }));
    };
    other_saves("1", "theirs");  // the unedited record on screen is shown again as it now stands
    QTRY_COMPARE(f.shown(ListKind::lines), QStringLiteral("line 1, theirs"));
    other_saves("6", "appended");  // the navigator's range follows: down from 1 is the new-record position 7
    QTRY_COMPARE(f.model->record_count(), 6);
    QTest::mouseClick(f.window->navigator()->down_button(), Qt::LeftButton);
    QCOMPARE(f.window->record_box()->text(), QStringLiteral("7"));
    f.window->record_box()->setText(QStringLiteral("2"));
    f.window->item_box()->setText(QStringLiteral("mine"));
    f.click("addLines");
    other_saves("2", "theirs too");  // an edited one keeps the user's lists, and its save asks
    QTest::qWait(400);
    QCOMPARE(f.shown(ListKind::lines), QStringLiteral("line 2, mine"));
    f.click("saveRecord");
    QCOMPARE(f.prompt.questions.back().caption, std::string("Record changed"));
    f.prompt.choices = {0};  // as a new record: the window goes with it
    f.click("saveRecord");
    QCOMPARE(f.window->record_box()->text(), QStringLiteral("7"));
  }

  void fileDialogsOpenOverTheEditorOnTheWorkingFolderAndCancelGivesNothing() {
    TempFolder folder;
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder.path().u8string()));
    QDialog editor;  // the editor window runs modally
    editor.setWindowModality(Qt::ApplicationModal);
    editor.show();
    QtPrompt prompt;
    const struct {
      FileRequest request;
      const char* shown;
    } rows[] = {
        {import_request(), "Cross-Reference Output File | Cross References (*.CMX) | *.CMX | CMX | open"},
        {export_request(), "Commentary Export | Commentary Exports (*.CMX) | *.CMX | CMX | save, asks to replace"}};
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

  void aRealImportEndsTheWindowWith123AndStartUpOpensItAgainOnRecord1() {
    DatabaseFolder folder;
    folder.store(numbered_records(5));
    write_bytes(folder.work("cmthelp.txt"), "Caf\xE9 r\xE8gles.\r\n");
    const Record extending = make_record({"trigger 1", "Alpha 1"}, {"exclusion 1"}, {"imported"});  // extends 1
    write_bytes(folder.work("extends.CMX"), exchange_of({extending}));
    folder.prompt.answers = {true, true};  // the help file; the import
    folder.prompt.files = {folder.work("extends.CMX").u8string()};
    IconChooser icons(3);
    QStringList events;
    answer_modal<HelpViewer>([&events](HelpViewer& viewer) {
      events << viewer.text_view()->toPlainText() + (viewer.text_view()->isReadOnly() ? "read-only" : "");
    });
    const auto run_window = [&](const Layout& layout) {
      EditorModel model(folder.env, layout, folder.prompt);
      MainWindow window(model, icons);
      window.show();
      const QListWidget* lines = window.list_widget(ListKind::lines);
      events << window.record_box()->text() + ": " + lines->item(lines->count() - 1)->text();
      QTest::mouseClick(window.navigator()->up_button(), Qt::LeftButton);
      QTest::mouseClick(window.findChild<QPushButton*>(events.size() == 2 ? "import" : "quit"), Qt::LeftButton);
      events << "ended " + QString::number(window.result());
      return window.result();
    };
    QCOMPARE(run_startup(folder.env, folder.temp.path(), folder.prompt, {run_window, show_help_viewer}), 0);
    QCOMPARE(events, (QStringList{QString::fromUtf8("Caf\xC3\xA9 r\xC3\xA8gles.\nread-only"), "1: line 1", "ended 123",
                                  "1: imported", "ended 1"}));
  }

  void theConfirmationsDetailsOpenInAViewThatScrollsAndGrowsWithTheBox() {
    std::string details;
    for (int k = 1; k <= 15000; ++k) details += "New record " + std::to_string(k) + ": \"goal\".\n";
    for (const char* answer : {"yes", "no", "escape"}) {
      DetailsQuestion box({"Import 15000 records ?", "Confirm Import", Icon::question, false, details});
      QVERIFY(box.parent() == nullptr && box.windowTitle() == "Confirm Import" && box.no_button()->isDefault());
      box.show();
      QVERIFY(!box.details_view()->isVisible());
      const int closed = box.height();
      QTest::mouseClick(box.details_button(), Qt::LeftButton);
      QPlainTextEdit* view = box.details_view();
      QVERIFY(view->isVisible() && view->isReadOnly() && box.height() > closed);
      QCOMPARE(view->document()->blockCount(), 15001);  // every line, and the empty one after the last line end
      QVERIFY(view->verticalScrollBar()->maximum() > 10000 && view->height() > 15 * view->fontMetrics().lineSpacing());
      // The box can be made larger, and the view grows with it.
      const int before = view->height();
      box.resize(box.width() + 100, box.height() + 200);
      QCoreApplication::processEvents();
      QVERIFY(box.isSizeGripEnabled() && view->height() >= before + 190);
      if (answer[0] == 'e') QTest::keyClick(&box, Qt::Key_Escape);
      else QTest::mouseClick(answer[0] == 'y' ? box.yes_button() : box.no_button(), Qt::LeftButton);
      QCOMPARE(box.result(), answer[0] == 'y' ? QDialog::Accepted : QDialog::Rejected);
    }
  }

  void addToSelectsTheNewEntriesAndScrollsToThemInSortedListsToo() {
    EntryList lines;
    for (int k = 0; k < 5000; ++k) lines.push_back("line " + std::to_string(k));
    WindowFixture f({make_record({"alpha", "Gamma"}, {}, lines)});
    const struct {
      const char* button;
      ListKind kind;
      const char* text;
      QStringList selected;
    } rows[] = {{"addTriggers", ListKind::triggers, "beta", {"beta"}},
                {"addTriggers", ListKind::triggers, "The (quick,slow) fox", {"The quick fox", "The slow fox"}},
                {"addTriggers", ListKind::triggers, "ALPHA", {"ALPHA"}},
                {"addLines", ListKind::lines, "new (one,two)", {"new one", "new two"}},
                {"addExclusions", ListKind::exclusions, "own goal", {"own goal"}}};
    for (const auto& row : rows) {
      f.window->item_box()->setText(QString::fromLatin1(row.text));
      f.click(row.button);
      QListWidget* list = f.list(row.kind);
      QStringList selected;
      for (int r = 0; r < list->count(); ++r) {
        if (list->item(r)->isSelected()) selected << list->item(r)->text();
      }
      QCOMPARE(selected, row.selected);
      // The first new entry is the current one, and in view.
      QCOMPARE(list->currentItem()->text(), row.selected.front());
      QVERIFY(list->viewport()->rect().intersects(list->visualItemRect(list->currentItem())));
      QCOMPARE(QApplication::focusWidget(), f.window->item_box());
    }
    QCOMPARE(f.shown(ListKind::triggers), QStringLiteral("alpha, ALPHA, beta, Gamma, The quick fox, The slow fox"));
  }

  void deleteEnterF2AndCtrlSWorkAsTheirButtons() {
    const struct {
      QKeyCombination keys;
      const char* changes;
    } rows[] = {{Qt::Key_Delete, "L: line 1"},  // deleted on screen only, as the Delete button does
                {Qt::Key_Return, "L: line 1, changed | modify"},
                {Qt::Key_Enter, "L: line 1, changed | modify"},
                {Qt::Key_F2, "L: line 1, changed | modify"},
                {Qt::SHIFT | Qt::Key_Delete, ""},  // with other keys held: nothing
                {Qt::CTRL | Qt::Key_S, "5 stored, kept"}};
    for (const auto& row : rows) {
      WindowFixture f;
      for (const char* button : {"addTriggers", "addLines"}) {
        f.window->item_box()->setText(QStringLiteral("kept"));
        f.click(button);
      }
      QListWidget* lines = f.list(ListKind::lines);
      lines->setFocus();
      lines->setCurrentRow(1);  // "kept", the one selected
      bool modified = false;
      answer_modal<ModifyEntryDialog>([&modified](ModifyEntryDialog& dialog) {
        modified = dialog.edit_box()->text() == "kept";
        dialog.edit_box()->setText(QStringLiteral("changed"));
        QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
      });
      QString changed = changes(f, [&] { QTest::keyClick(lines, row.keys.key(), row.keys.keyboardModifiers()); });
      if (modified) changed += QStringLiteral(" | modify");
      QCOMPARE(changed, QString::fromLatin1(row.changes));
      QCoreApplication::processEvents();  // an unanswered dialog timer does nothing
    }
  }

  void findOpensBesideTheWindowNeverOverItsButtons() {
    WindowFixture f;
    QList<QRect> buttons;
    for (const QPushButton* b : f.window->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly))
      buttons << QRect(b->mapToGlobal(QPoint()), b->size());
    const QRect window = f.window->frameGeometry();
    const QSize dialog(320, 130);
    const QRect wide(0, 0, 1280, 800), narrow(0, 0, 800, 800);
    const struct {
      QRect screen;
      QPoint shift;  // the window moved by this
      const char* side;
    } rows[] = {{wide, {}, "right"},
                {narrow, {}, "below"},
                {wide, {1280 - window.right() - 1, 800 - window.bottom() - 1}, "left"},
                {QRect(0, 0, window.right() + 1, 800), {0, 800 - window.bottom() - 1}, "above"},
                {window.adjusted(-20, -20, 20, 20), {}, "over"}};
    // The places themselves, at 100 % (the runs at other scales look at the real dialog only).
    const bool full_size = f.window->devicePixelRatioF() == 1.0;
    for (const auto& row : rows) {
      if (!full_size) break;
      const QRect moved = window.translated(row.shift);
      QList<QRect> clear;
      for (const QRect& b : buttons) clear << b.translated(row.shift);
      const QRect at(place_beside(moved, dialog, row.screen, clear), dialog);
      const QString side = at.left() > moved.right()   ? "right"
                           : at.top() > moved.bottom() ? "below"
                           : at.right() < moved.left() ? "left"
                           : at.bottom() < moved.top() ? "above"
                                                       : "over";
      QCOMPARE(side, QString::fromLatin1(row.side));
      QVERIFY(row.screen.contains(at));
      for (const QRect& b : clear) QVERIFY(!at.intersects(b));
    }
    // On a 1280 x 800 screen, wherever the window stands, Find is beside it and on the screen.
    for (int x = 0; full_size && x + window.width() <= 1280; x += 37) {
      for (int y = 0; y + window.height() <= 800; y += 29) {
        const QRect moved(QPoint(x, y), window.size());
        const QRect at(place_beside(moved, dialog, wide, {}), dialog);
        QVERIFY(wide.contains(at) && !at.intersects(moved));
      }
    }
    // The real dialog, opened again after Close, stands beside the window (at 150 % and 200 % on 1280 x 800 there is
    // no room beside it: clear of its buttons).
    for (int opening = 0; opening < 2; ++opening) {
      QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
      FindDialog* find = f.window->find_dialog();
      QTRY_VERIFY(find->isVisible());
      QVERIFY(!find->frameGeometry().intersects(full_size ? f.window->frameGeometry() : QRect()));
      for (const QRect& b : buttons) QVERIFY(!find->frameGeometry().intersects(b));
      QVERIFY(f.window->screen()->availableGeometry().contains(find->frameGeometry()));
      find->findChild<QPushButton*>(QStringLiteral("findClose"))->click();
    }
  }

  void findScrollsSidewaysToAMatchInALongEntryAndNotesGoingRound() {
    const std::string long_line = std::string(4990, 'x') + "needle";
    WindowFixture f({make_record({}, {}, {"none"}), make_record({std::string(200, 't') + "needle"}, {}, {long_line}),
                     make_record({}, {}, {"needle first"})});
    QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
    FindDialog* find = f.window->find_dialog();
    find->text_box()->setText(QStringLiteral("NEEDLE"));
    const struct {
      FindDirection direction;
      const char* record;
      ListKind kind;
      int at;  // the match's first character in its entry
      bool went_round;
    } steps[] = {{FindDirection::next, "2", ListKind::triggers, 200, false},
                 {FindDirection::next, "2", ListKind::lines, 4990, false},
                 {FindDirection::next, "3", ListKind::lines, 0, false},
                 {FindDirection::next, "2", ListKind::triggers, 200, true},
                 {FindDirection::previous, "3", ListKind::lines, 0, true}};
    for (const auto& step : steps) {
      QTest::mouseClick(step.direction == FindDirection::next ? find->next_button() : find->previous_button(),
                        Qt::LeftButton);
      QCOMPARE(f.window->record_box()->text(), QString::fromLatin1(step.record));
      QListWidget* list = f.list(step.kind);
      QListWidgetItem* item = list->currentItem();
      QVERIFY(item != nullptr && item->isSelected());
      // Both ends of the match are inside the list's view (the trigger lists have no horizontal scroll bar).
      const QFontMetrics metrics(list->font());
      const int left = list->visualItemRect(item).left();
      const int start = left + metrics.horizontalAdvance(item->text().left(step.at));
      const int end = left + metrics.horizontalAdvance(item->text().left(step.at + 6));
      QVERIFY2(step.kind != ListKind::lines || (start >= 0 && end <= list->viewport()->width()),
               qPrintable(QString("%1 %2").arg(start).arg(end)));
      QCOMPARE(find->note_label()->text().isEmpty(), !step.went_round);
    }
    QVERIFY(f.prompt.messages.empty());
  }

  void theWindowFitsTheScreenWithItsListFramesOnDevicePixels() {
    // Run at 100 %, and again at 150 % and 200 % on a 1280 x 800 screen (see tests/CMakeLists.txt).
    WindowFixture f;
    const QRect available = f.window->screen()->availableGeometry();
    const double scale = f.window->devicePixelRatioF();
    QVERIFY(available.contains(f.window->frameGeometry()));
    for (const QWidget* control : f.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      QVERIFY(available.contains(QRect(control->mapToGlobal(QPoint()), control->size())));
    for (ListKind kind : kAllLists) {
      const QRect frame = f.list(kind)->geometry();
      for (const int edge : {frame.left(), frame.top(), frame.right(), frame.bottom()})
        QVERIFY2(std::abs(edge * scale - std::round(edge * scale)) < 1e-9, qPrintable(QString::number(edge)));
    }
    // The fixed layout shrinks only where it does not fit: at 200 % on 1280 x 800.
    QCOMPARE(f.window->font().pointSizeF() < dialog_font().pointSizeF(), scale == 2.0);
    // The fit itself: the place asked for where the window fits, else moved, else made smaller.
    const QRect screen(0, 0, 1280, 800);
    const QMargins frame(8, 32, 8, 8);
    const DialogUnits du = dialog_units(dialog_font());
    const QSize outer = QSize(du.x(332), du.y(246)).grownBy(frame);
    const struct {
      QRect screen, available;
      bool smaller;
      QPoint at;
    } rows[] = {{screen, screen, false, du.point(6, 18)},
                {screen, screen.adjusted(0, 60, 0, 0), false, QPoint(du.x(6), 60)},  // below a panel
                {QRect(0, 0, outer.width(), outer.height()), QRect(0, 0, outer.width(), outer.height()), false, {}},
                {QRect(0, 0, 640, 400), QRect(0, 0, 640, 400), true, {-1, -1}},
                {QRect(0, 0, 60, 40), QRect(0, 0, 60, 40), true, {}}};  // no window fits: the top-left corner
    for (const auto& row : rows) {
      const FittedWindow fitted = fit_window({332, 246}, {6, 18}, row.screen, row.available, frame);
      QCOMPARE(fitted.font.pointSizeF() < dialog_font().pointSizeF(), row.smaller);
      const DialogUnits units = dialog_units(fitted.font);
      const QRect placed(fitted.position, QSize(units.x(332), units.y(246)).grownBy(frame));
      if (row.at != QPoint(-1, -1)) QCOMPARE(fitted.position, row.at);
      if (row.available.width() >= 100) QVERIFY(row.available.contains(placed));
    }
    QCOMPARE(snapped_to_device_pixels(QRect(3, 17, 243, 84), 1.5), QRect(QPoint(4, 18), QPoint(246, 100)));
    QCOMPARE(snapped_to_device_pixels(QRect(3, 17, 243, 84), 2.0), QRect(3, 17, 243, 84));
  }

  void progressShowsAfterHalfASecondByStageAndGivesWayToTheQuestion() {
    std::int64_t now = 0;
    QWidget owner;
    ProgressDisplay display(&owner, QStringLiteral("Import Commentary"),
                            {ExchangeStage::reading, ExchangeStage::classifying, ExchangeStage::merging,
                             ExchangeStage::rebuilding, ExchangeStage::writing},
                            [&now] { return now; });
    using S = ExchangeStage;
    const struct {
      std::int64_t time;
      S stage;
      std::uint64_t done, total;
      const char* shown;  // the label, or nothing while hidden
      int value;
    } rows[] = {
        {0, S::reading, 0, 8000, "", 0},
        {499, S::reading, 3200, 8000, "", 0},
        {500, S::reading, 4000, 8000, "Reading the records: 4000 of 8000 records", 50},
        {520, S::reading, 4064, 8000, "Reading the records: 4000 of 8000 records", 50},  // not yet repainted
        {560, S::reading, 0, 32000, "Reading the records: 0 of 32000 records", 50},      // never back
        {600, S::classifying, 0, 0, "Comparing the records with the database", 100},
        {700, S::rebuilding, 50, 100, "Rebuilding the database without repeated entries: 50 of 100 records", 350},
        {800, S::confirming, 0, 0, "", 350},
        {60000, S::writing, 0, 0, "Writing the files", 400}};  // seen before the question: at once
    for (const auto& row : rows) {
      now = row.time;
      display.tell(row.stage, row.done, row.total);
      const QProgressDialog* dialog = display.dialog();
      const bool visible = dialog != nullptr && dialog->isVisible();
      QCOMPARE(visible ? dialog->labelText() : QString(), QString::fromLatin1(row.shown));
      QCOMPARE(dialog != nullptr ? dialog->value() : 0, row.value);
    }
    QCOMPARE(display.dialog()->windowTitle(), QStringLiteral("Import Commentary"));
    // Not seen before the question: the half second starts again after it.
    ProgressDisplay quick(&owner, QStringLiteral("Import Commentary"), {S::reading, S::writing},
                          [&now] { return now; });
    for (const std::int64_t time : {0, 400, 10000, 10400, 10600}) {
      now = time;
      quick.tell(time < 10000 ? S::reading : S::writing, 0, 0);
      if (time == 400) quick.tell(S::confirming, 0, 0);
      QCOMPARE(quick.dialog() != nullptr && quick.dialog()->isVisible(), time == 10600);
    }
    // In the window: a long import shows the busy cursor and its progress, then neither.
    WindowFixture f;
    QStringList seen;
    std::int64_t clock = 0;
    f.window->set_progress_clock([&] {
      const QProgressDialog* dialog = f.window->findChild<QProgressDialog*>(QStringLiteral("progress"));
      const QCursor* cursor = QGuiApplication::overrideCursor();
      seen << QString::number(cursor != nullptr ? cursor->shape() : -1) +
                  (dialog != nullptr && dialog->isVisible() ? " " + dialog->labelText() : QString());
      return clock += 300;
    });
    write_bytes(f.work("in.CMX"), exchange_of({make_record({"new"}, {}, {"n"})}));
    f.prompt.files = {f.work("in.CMX").u8string()};
    f.prompt.answers = {true};
    f.click("import");
    QCOMPARE(f.window->result(), static_cast<int>(kEndImported));
    QVERIFY(seen.size() >= 5 && seen.front() == QString::number(Qt::WaitCursor));
    QVERIFY(seen.contains(QString::number(Qt::WaitCursor) + " Comparing the records with the database"));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QVERIFY(f.window->findChild<QProgressDialog*>() == nullptr);
  }

  void theHelpTextIsWindows1252WithCrLfAndNamesEveryControlAndKey() {
    const std::string bytes = read_bytes(fs::u8path(ZENFARO_HELP_TEXT));
    QVERIFY(bytes.size() > 4000 && bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
      const std::string line = bytes.substr(start, end - start);
      QVERIFY2(line.size() <= 78, line.c_str());  // Notepad's width, without wrapping
      for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        const char32_t code_point = cp1252_to_unicode(byte);  // printable Windows-1252 only: no tab, CR, LF
        QVERIFY2(code_point >= 0x20 && code_point != 0x7F && !(code_point >= 0x80 && code_point < 0xA0), line.c_str());
      }
    }
    QCOMPARE(start, bytes.size());
    QVERIFY(bytes.find('\xE9') != std::string::npos);  // é as Windows-1252 has it, not as UTF-8's two bytes
    QStringDecoder utf8(QStringDecoder::Utf8);         // which it is not
    const QString as_utf8 = utf8.decode(QByteArray::fromStdString(bytes));
    QVERIFY(utf8.hasError() && !as_utf8.isEmpty());
    const QString text = entry_to_text(bytes).simplified();  // lines joined
    // Every caption of the window and its dialogs, its mnemonic as Alt+letter, and every shortcut.
    WindowFixture f;
    QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
    ModifyEntryDialog modify(f.window.get(), QStringLiteral("x"), 1, f.prompt, [](const QString&) { return true; });
    QStringList missing;
    for (QWidget* dialog : std::initializer_list<QWidget*>{f.window.get(), f.window->find_dialog(), &modify}) {
      for (const QWidget* control : dialog->findChildren<QWidget*>()) {
        const QString caption = control->property("text").toString();
        if (qobject_cast<const QLineEdit*>(control) != nullptr || caption.isEmpty() || caption == "1") continue;
        QString plain = caption;
        plain.remove('&');
        if (!text.contains(plain)) missing << plain;
        const qsizetype mnemonic = caption.indexOf('&');
        if (mnemonic >= 0 && !text.contains(QStringLiteral("Alt+") + caption.at(mnemonic + 1).toUpper()))
          missing << caption;
      }
    }
    for (const QShortcut* shortcut : f.window->findChildren<QShortcut*>()) {
      const QString keys = shortcut->key().toString().replace("PgDown", "Page Down").replace("PgUp", "Page Up");
      if (!text.contains(keys)) missing << keys;
    }
    for (const char* key : {"Delete", "Enter", "F2", "Esc", "Alt+F4", "Tab, Shift+Tab"})
      if (!text.contains(QString::fromLatin1(key))) missing << key;
    QCOMPARE(missing, QStringList());
  }

  void ctrlZAndCtrlYUndoAndRedoListCommandsAndAnEmptyItemBoxPassesThemOn() {
    WindowFixture f;
    QLineEdit* item = f.window->item_box();
    const auto keys = [](QWidget* on, QKeyCombination combination) {
      QTest::keyClick(on, combination.key(), combination.keyboardModifiers());
      return QString();
    };
    item->setFocus();
    const struct {
      std::function<QString()> act;
      const char* lines;
      const char* item;
    } steps[] = {
        {[&] { return QTest::keyClicks(item, "(a,b)"), QString(); }, "line 1", "(a,b)"},
        {[&] { return f.click("addLines"), QString(); }, "line 1, a, b", ""},
        {[&] { return keys(item, Qt::CTRL | Qt::Key_Z); }, "line 1", ""},  // the box is empty: the list's undo
        {[&] { return keys(item, Qt::CTRL | Qt::Key_Y); }, "line 1, a, b", ""},
        {[&] { return keys(item, Qt::CTRL | Qt::SHIFT | Qt::Key_Z); }, "line 1, a, b", ""},  // nothing to redo
        {[&] { return QTest::keyClicks(item, "xy"), QString(); }, "line 1, a, b", "xy"},
        {[&] { return keys(item, Qt::CTRL | Qt::Key_Z); }, "line 1, a, b", ""},  // the box's own typing
        {[&] { return f.list(ListKind::lines)->setCurrentRow(0), f.click("deleteLines"), QString(); }, "a, b", ""},
        {[&] { return keys(f.list(ListKind::lines), Qt::CTRL | Qt::Key_Z); }, "line 1, a, b", ""},
        {[&] { return keys(f.list(ListKind::lines), Qt::CTRL | Qt::Key_Z); }, "line 1", ""},
        {[&] { return keys(f.list(ListKind::lines), Qt::CTRL | Qt::SHIFT | Qt::Key_Z); }, "line 1, a, b", ""},
        {[&] { return f.click("saveRecord"), QString(); }, "line 1, a, b", ""},
        {[&] { return keys(item, Qt::CTRL | Qt::Key_Z); }, "line 1, a, b", ""},  // saving ended the history
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      steps[i].act();
      QCOMPARE(QString::number(i) + ": " + f.shown(ListKind::lines) + " / " + item->text(),
               QString::number(i) + ": " + steps[i].lines + " / " + steps[i].item);
    }
    QCOMPARE(f.model->pending(), 0);
  }

  void theItemBoxTellsWhatAnAddWouldAddWithoutMovingAControl() {
    WindowFixture f;
    QLineEdit* item = f.window->item_box();
    const auto places = [&f] {  // of the controls, not of the tooltip's own window
      QList<QRect> rects;
      for (const QWidget* child : f.window->findChildren<QWidget*>())
        if (!child->isWindow()) rects << child->geometry();
      return rects;
    };
    const QList<QRect> before = places();
    item->setFocus();
    QTest::keyClicks(item, "The (quick,slow) fox");
    QCOMPARE(item->toolTip(), Qt::convertFromPlainText(QStringLiteral("Adds 2 entries:\nThe quick fox\nThe slow fox"),
                                                       Qt::WhiteSpaceNormal));
    QVERIFY(QToolTip::isVisible());            // shown at once below the box, while it has the focus
    QTest::keyClick(item, Qt::Key_Backspace);  // and updated as one types
    QVERIFY(item->toolTip().contains(QStringLiteral("The slow fo")) && !item->toolTip().contains("fox"));
    QCOMPARE(places(), before);
    item->setText(QStringLiteral("plain"));
    QVERIFY(item->toolTip().isEmpty());
    // The first five, how many more, and the lists that cannot take them.
    ExpansionPreview preview;
    preview.alternatives = true;
    preview.count = 7;
    preview.first = {"a", "b", "c", "d", "e"};
    preview.fits = {true, false, true};
    QCOMPARE(expansion_tip(preview), QStringLiteral("Adds 7 entries:\na\nb\nc\nd\ne\n... and 2 more.\nToo many for "
                                                    "Exclusion Triggers: the list would hold more than 32000 entries, "
                                                    "so Add To Exclusion adds nothing."));
    preview.count = 32001;
    QCOMPARE(expansion_tip(preview), QStringLiteral("This entry expands into more than 32000 entries, more than a list "
                                                    "can hold: Add To would add nothing."));
  }

  void aSmokeRunAnswersEveryModalWindowAsALeavingUserAndReportsWhatItShowed() {
    QObject owner;
    qunsetenv(kSmokeRunVariable);
    QVERIFY(!start_smoke_run_if_asked(owner));
    DatabaseFolder folder;
    folder.store(numbered_records(2));
    const fs::path report = folder.work("smoke report.txt");
    qputenv(kSmokeRunVariable, QByteArray::fromStdString(report.u8string()));
    QVERIFY(start_smoke_run_if_asked(owner));
    qunsetenv(kSmokeRunVariable);
    QtPrompt prompt;
    IconChooser icons(1);
    int window_end = -1;
    const auto run_window = [&](const Layout& layout) {
      EditorModel model(folder.env, layout, prompt);
      MainWindow window(model, icons);
      return window_end = window.exec();
    };
    QCOMPARE(run_startup(folder.env, folder.temp.path(), prompt, {run_window, show_help_viewer}), 0);
    QCOMPARE(window_end, kEndQuit);
    prompt.tell({"Told.", "Caption", Icon::warning});
    QDialog other;
    other.setWindowTitle(QStringLiteral("Other"));
    QCOMPARE(other.exec(), int(QDialog::Rejected));
    QCOMPARE(QString::fromStdString(read_bytes(report)).split('\n'),
             (QStringList{"box \"See help file ?\": This is a beta version of the Pelmar 7 Ostrin Commentary Engine. "
                          "Do you wish to be shown a help text on what to do ? -> No",
                          "window: record 1 | triggers: Alpha 1, trigger 1 | exclusions: exclusion 1 | lines: line 1 "
                          "-> Quit",
                          "box \"Caption\": Told. -> OK", "unexpected QDialog \"Other\" -> closed", ""}));
  }

  void chooseFolderOffersTheFolderChosenLastAndCancelEnds() {
    TempFolder scratch;
    const QString before = QDir::currentPath(), game = QString::fromStdString((scratch / "game").u8string());
    QVERIFY(QDir().mkpath(game));
    QSettings settings(QString::fromStdString((scratch / "settings.ini").u8string()), QSettings::IniFormat);
    ScriptedPrompt prompt;
    QStringList offered;
    for (const QString& chosen : {game, QString()}) {  // the game's folder, then cancelled: the editor ends
      const auto dialog = [&](const QString& start) {
        offered << start;
        return chosen;
      };
      QCOMPARE(enter_chosen_folder(settings, prompt, dialog), !chosen.isEmpty());
      QCOMPARE(QDir::currentPath(), QDir(game).canonicalPath());
    }
    QCOMPARE(offered, (QStringList{QDir::homePath(), game}));
    QDir::setCurrent(before);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::WindowTest)
#include "window_test.moc"
