// The main window as only the window shows it: its frame and controls, the
// keys, which command each button runs, the record box with its navigator,
// text at the widgets and the end codes.
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>

#include "core/record.h"
#include "tests/ui/window_fixture.h"
#include "ui/dialog_units.h"
#include "ui/entry_text.h"
#include "ui/icons.h"
#include "ui/modify_entry_dialog.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {
namespace {

// What the window shows after a command: the three lists, the item box, the
// record box, the focus, and what reached the files, the prompt and the end.
QString state(const WindowFixture& f) {
  QStringList parts;
  for (ListKind kind : kAllLists) parts << f.shown(kind);
  parts << "item " + f.window->item_box()->text()
        << "record " + f.window->record_box()->text() + " of " + QString::number(f.model->record_count());
  if (QApplication::focusWidget() != nullptr) parts << "focus " + QApplication::focusWidget()->objectName();
  if (!f.env.log.empty()) parts << "written";
  for (const Question& question : f.prompt.questions) parts << QString::fromStdString(question.caption);
  for (const FileRequest& request : f.prompt.file_requests) parts << QString::fromStdString(request.title);
  if (!f.window->isVisible()) parts << "ended " + QString::number(f.window->result());
  return parts.join(QStringLiteral(" | "));
}

bool holds(const EntryList& list, const char* entry) { return std::find(list.begin(), list.end(), entry) != list.end(); }

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void aFixedDialogInUnitsOfItsFontWithTheSeededIcon() {
    WindowFixture f;
    const DialogUnits du = dialog_units(dialog_font());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Pelmar 7 Ostrin Commentary Engine Beta 4"));
    QCOMPARE(f.window->font(), dialog_font());
    QCOMPARE(f.window->minimumSize(), QSize(du.x(332), du.y(246)));
    QCOMPARE(f.window->maximumSize(), f.window->minimumSize());
    QCOMPARE(f.window->pos(), QGuiApplication::primaryScreen()->geometry().topLeft() + du.point(6, 18));
    QVERIFY(f.window->parent() == nullptr);
    QCOMPARE(f.window->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint),
             Qt::WindowFlags(Qt::WindowCloseButtonHint));
    QCOMPARE(f.window->property("iconResource").toInt(), IconChooser(7).next());
    QVERIFY(icon_image(1) != icon_image(2));
    // A unit is a quarter of the average letter width across, an eighth of the height down.
    QCOMPARE(du.base_y, QFontMetrics(dialog_font()).height());
    QCOMPARE((DialogUnits{6, 13}.rect(10, 210, 30, 12)), QRect(15, 341, 45, 20));
  }

  void controlsAreCreatedInOrderWithTheirIdsCaptionsAndPlaces() {
    WindowFixture f;
    const DialogUnits du = dialog_units(dialog_font());
    const QRect box = du.rect(10, 210, 30, 12);
    // The navigator sits at the left edge of the record box, which it narrows.
    const QRect navigator(box.topLeft(), QSize(du.x(8), box.height()));
    const struct { int id; const char* caption; QRect place; } controls[] = {
        {104, "&Triggers", du.rect(3, 6, 121, 8)},        {101, "", du.rect(2, 17, 162, 52)},
        {114, "Delete", du.rect(134, 2, 30, 14)},         {105, "&Exclusion Triggers", du.rect(168, 6, 121, 8)},
        {102, "", du.rect(168, 17, 162, 52)},             {115, "Delete", du.rect(300, 2, 30, 14)},
        {106, "Commentary &Lines", du.rect(2, 76, 121, 8)}, {103, "", du.rect(2, 87, 328, 92)},
        {116, "Delete", du.rect(300, 71, 30, 14)},        {107, "Item To &Add:", du.rect(1, 184, 49, 8)},
        {108, "", du.rect(46, 182, 284, 12)},             {109, "Add To T&riggers", du.rect(46, 196, 92, 14)},
        {110, "Add To E&xclusion", du.rect(142, 196, 92, 14)}, {111, "Add To Co&mmentary", du.rect(238, 196, 92, 14)},
        {120, "&Import Commentary", du.rect(142, 212, 92, 14)}, {119, "E&xport Commentary", du.rect(238, 212, 92, 14)},
        {112, "&Save Record", du.rect(46, 228, 92, 14)},  {117, "&Delete Record", du.rect(142, 228, 92, 14)},
        {118, "&Quit", du.rect(238, 228, 92, 14)},        {199, "", navigator},
        {113, "1", box.adjusted(navigator.width(), 0, 0, 0)},
    };
    const auto place = [](const QRect& r) { return QStringLiteral(" at %1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()); };
    QStringList expected, created;
    for (const auto& c : controls) expected << QString::number(c.id) + ' ' + QString::fromLatin1(c.caption) + place(c.place);
    QList<QWidget*> widgets;
    for (QObject* child : f.window->children()) {
      if (child->property("controlId").isValid()) widgets << qobject_cast<QWidget*>(child);
    }
    for (QWidget* widget : widgets) created << id_and_caption(widget) + place(widget->geometry());
    QCOMPARE(created, expected);
    // Each label's mnemonic leads to the control created after it.
    for (int i = 0; i + 1 < widgets.size(); ++i) {
      if (auto* label = qobject_cast<QLabel*>(widgets[i])) QCOMPARE(label->buddy(), widgets[i + 1]);
    }
    // Tab order is creation order, without the record box and its navigator.
    QStringList tab_order;
    QWidget* widget = f.list(ListKind::triggers);
    do {
      if (widget->focusPolicy() & Qt::TabFocus) tab_order << widget->property("controlId").toString();
      widget = widget->nextInFocusChain();
    } while (widget != f.list(ListKind::triggers));
    QCOMPARE(tab_order.join(' '), QStringLiteral("101 114 102 115 103 116 108 109 110 111 120 119 112 117 118"));
    for (ListKind kind : kAllLists) QCOMPARE(f.list(kind)->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (QPushButton* button : f.window->findChildren<QPushButton*>()) QVERIFY(!button->isDefault() && !button->autoDefault());
  }

  void mnemonicsMoveTheFocusAndEnterPressesOnlyAFocusedButton() {
    WindowFixture f;
    f.window->item_box()->setText(QStringLiteral("goal"));
    const struct { QKeyCombination keys; const char* focus; } rows[] = {
        {Qt::ALT | Qt::Key_T, "triggers"}, {Qt::ALT | Qt::Key_E, "exclusions"}, {Qt::ALT | Qt::Key_L, "lines"},
        {Qt::ALT | Qt::Key_A, "item"},
        {QKeyCombination(Qt::Key_Return), "item"},  // no default button
        {QKeyCombination(Qt::Key_Escape), "item"},  // no cancel button
        // Two buttons carry X: the key only moves the focus between them.
        {Qt::ALT | Qt::Key_X, "addExclusions"}, {Qt::ALT | Qt::Key_X, "export"}, {Qt::ALT | Qt::Key_X, "addExclusions"},
        {QKeyCombination(Qt::Key_Return), "item"},  // pressed "Add To E&xclusion": the focus is back
        {Qt::CTRL | Qt::Key_G, "record"},
    };
    for (const auto& row : rows) {
      QTest::keyClick(QApplication::focusWidget(), row.keys.key(), row.keys.keyboardModifiers());
      QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(row.focus));
    }
    QCOMPARE(f.window->record_box()->selectedText(), QStringLiteral("1"));
    QCOMPARE(state(f), QStringLiteral("Alpha 1, trigger 1 | exclusion 1, goal | line 1 | item  | record 1 of 5 | focus record"));
  }

  void eachButtonRunsItsCommandOnItsList() {
    const struct { const char* button; const char* after; } rows[] = {
        {"addTriggers", "Alpha 1, new, trigger 1 | exclusion 1 | line 1 | item  | record 1 of 5 | focus item"},
        {"addExclusions", "Alpha 1, trigger 1 | exclusion 1, new | line 1 | item  | record 1 of 5 | focus item"},
        {"addLines", "Alpha 1, trigger 1 | exclusion 1 | line 1, new | item  | record 1 of 5 | focus item"},
        {"deleteTriggers", "trigger 1 | exclusion 1 | line 1 | item new | record 1 of 5 | focus deleteTriggers"},
        {"deleteExclusions", "Alpha 1, trigger 1 |  | line 1 | item new | record 1 of 5 | focus deleteExclusions"},
        {"deleteLines", "Alpha 1, trigger 1 | exclusion 1 |  | item new | record 1 of 5 | focus deleteLines"},
        {"saveRecord", "Alpha 1, trigger 1 | exclusion 1 | line 1 | item new | record 1 of 5 | focus saveRecord | written"},
        {"deleteRecord", "Alpha 2, trigger 2 | exclusion 2 | line 2 | item new | record 1 of 4 | focus deleteRecord | "
                         "written | Confirm Action"},
        {"import", "Alpha 1, trigger 1 | exclusion 1 | line 1 | item new | record 1 of 5 | focus import | "
                   "Cross-Reference Output File"},
        {"export", "Alpha 1, trigger 1 | exclusion 1 | line 1 | item new | record 1 of 5 | focus export | "
                   "Commentary Export"},
        {"quit", "Alpha 1, trigger 1 | exclusion 1 | line 1 | item new | record 1 of 5 | written | ended 1"},
    };
    for (const auto& row : rows) {
      WindowFixture f;
      f.window->item_box()->setText(QStringLiteral("new"));
      for (ListKind kind : kAllLists) f.list(kind)->setCurrentRow(0);
      f.prompt.answers = {true};  // the file dialogs are cancelled
      f.click(row.button);
      QCOMPARE(state(f), QString::fromLatin1(row.after));
    }
  }

  void theRecordBoxAndNavigatorStepRoundTheEndsInPlainDigits() {
    WindowFixture f(numbered_records(1000));
    QLineEdit* box = f.window->record_box();
    const auto key = [](QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      return [=] { QTest::keyClick(widget, key, modifiers); };
    };
    const auto arrow = [](QToolButton* arrow) { return [=] { QTest::mouseClick(arrow, Qt::LeftButton); }; };
    const struct { std::function<void()> act; const char* record; const char* lines; } steps[] = {
        {arrow(f.window->navigator()->down_button()), "1001", ""},  // the new-record position
        {arrow(f.window->navigator()->up_button()), "1", "line 1"},
        {key(box, Qt::Key_Up), "2", "line 2"},
        {key(box, Qt::Key_Down), "1", "line 1"},
        {key(f.list(ListKind::lines), Qt::Key_PageUp, Qt::ControlModifier), "1001", ""},
        {key(f.button("quit"), Qt::Key_PageDown, Qt::ControlModifier), "1", "line 1"},
        {[&] {  // typed after Ctrl+G, which selects the number
           key(f.list(ListKind::triggers), Qt::Key_G, Qt::ControlModifier)();
           QTest::keyClicks(QApplication::focusWidget(), "999");
         },
         "999", "line 999"},
        {key(box, Qt::Key_Up), "1000", "line 1000"},
        {key(box, Qt::Key_Backspace), "100", "line 100"},
    };
    for (const auto& step : steps) {
      step.act();
      QCOMPARE(box->text() + ": " + f.shown(ListKind::lines), QString::fromLatin1(step.record) + ": " + step.lines);
    }
  }

  void quitSavesAndEndsWith1TheCloseBoxEndsWith0AndAFailedSaveKeepsTheEntry() {
    const auto quit = [](WindowFixture& f) { f.click("quit"); };
    const auto step = [](WindowFixture& f) { QTest::mouseClick(f.window->navigator()->up_button(), Qt::LeftButton); };
    const struct { bool disk_fails; std::function<void(WindowFixture&)> act; const char* outcome; } rows[] = {
        {false, quit, "ended 1, saved"},
        {false, [](WindowFixture& f) { f.window->close(); }, "ended 0"},
        {true, quit, "told, on record 1 showing Alpha 1, kept, trigger 1"},
        {true, step, "told, on record 1 showing Alpha 1, kept, trigger 1"},
    };
    for (const auto& row : rows) {
      WindowFixture f;
      f.window->item_box()->setText(QStringLiteral("kept"));
      f.click("addTriggers");
      if (row.disk_fails) f.env.fail_at = static_cast<int>(f.env.log.size());
      row.act(f);
      QString outcome = f.window->isVisible() ? "on record " + f.window->record_box()->text() + " showing " + f.shown(ListKind::triggers)
                                              : "ended " + QString::number(f.window->result());
      if (f.prompt.errors() > 0) outcome.prepend("told, ");
      if (holds(stored_records(f.folder.path()).at(0).list(ListKind::triggers), "kept")) outcome += ", saved";
      QCOMPARE(outcome, QString::fromLatin1(row.outcome));
      if (!row.disk_fails) continue;
      // The entry is still pending: once the disk works, the same command saves it.
      f.env.fail_at = -1;
      row.act(f);
      QVERIFY(holds(stored_records(f.folder.path()).at(0).list(ListKind::triggers), "kept"));
    }
  }

  void aLongLineShowsWholeAndTheScrollBarReachesItsEnd() {
    const std::string long_line(130, 'W');
    WindowFixture f({make_record({}, {}, {"short", long_line, "short too"})});
    QListWidget* lines = f.list(ListKind::lines);
    QCoreApplication::processEvents();
    const int width = lines->fontMetrics().horizontalAdvance(QString::fromStdString(long_line));
    for (int row = 0; row < lines->count(); ++row) QVERIFY(lines->visualItemRect(lines->item(row)).width() > width);
    lines->horizontalScrollBar()->setValue(lines->horizontalScrollBar()->maximum());
    QVERIFY(lines->visualItemRect(lines->item(1)).right() <= lines->viewport()->width());
  }

  void everyByteValueComesBackFromTheItemBoxAListAndModifyEntry() {
    std::string all, storable;
    for (int b = 0; b < 256; ++b) {
      all += static_cast<char>(b);
      if (b != '(' && entry_problem(std::string(1, static_cast<char>(b)), false).empty()) storable += static_cast<char>(b);
    }
    storable += '(';  // last, so that no group of alternatives forms
    WindowFixture f(std::vector<Record>{});
    f.window->item_box()->setText(entry_to_text(all));
    QVERIFY(text_to_entry(f.window->item_box()->text()) == all);
    f.window->item_box()->setText(entry_to_text(storable));
    f.click("addLines");
    QVERIFY(text_to_entry(f.list(ListKind::lines)->item(0)->text()) == storable);
    QString in_dialog;
    answer_modal<ModifyEntryDialog>([&](ModifyEntryDialog& dialog) {
      in_dialog = dialog.edit_box()->text();
      QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
    });
    f.double_click(ListKind::lines, 0);
    QVERIFY(text_to_entry(in_dialog) == storable);
    f.click("saveRecord");
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::lines), EntryList{storable});
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::WindowTest)
#include "window_test.moc"
