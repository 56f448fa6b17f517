// The Modify Entry dialog, opened by double-clicking an entry of the real
// window and answered while it runs modally.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/ui/window_fixture.h"
#include "ui/dialog_units.h"
#include "ui/modify_entry_dialog.h"

namespace zenfaro::testing {
namespace {

// Double-clicks `row` of `kind`'s list and lets `answer` work the dialog
// while it is open. Returns false when no dialog opened.
bool modify(WindowFixture& f, ListKind kind, int row, const std::function<void(ModifyEntryDialog&)>& answer) {
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = dynamic_cast<ModifyEntryDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    opened = true;
    answer(*dialog);
    // A dialog that is still open (a refused text) is closed like Cancel.
    if (dialog->isVisible()) dialog->close();
  });
  f.double_click(kind, row);
  QCoreApplication::processEvents();
  return opened;
}

void set_text_and_ok(ModifyEntryDialog& dialog, const QString& text) {
  dialog.edit_box()->clear();
  type_text(dialog.edit_box(), text);
  QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);
}

}  // namespace

class ModifyEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void theDialogShowsTheEntryAndIsLaidOutInDialogUnits() {
    WindowFixture f(five_records());
    QString text;
    QSize size;
    QPoint position;
    int icon = 0;
    QVERIFY(modify(f, ListKind::triggers, 1, [&](ModifyEntryDialog& dialog) {
      text = dialog.edit_box()->text();
      size = dialog.size();
      position = dialog.pos();
      icon = dialog.property("iconResource").toInt();
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Modify Entry"));
      QCOMPARE(dialog.cancel_button()->text(), QStringLiteral("&Cancel"));
      QCOMPARE(dialog.ok_button()->text(), QStringLiteral("&OK"));
      QVERIFY(!dialog.ok_button()->isDefault() && !dialog.ok_button()->autoDefault());
      QVERIFY(!dialog.cancel_button()->isDefault() && !dialog.cancel_button()->autoDefault());
      QCOMPARE(dialog.edit_box()->nextInFocusChain(), static_cast<QWidget*>(dialog.cancel_button()));
      QCOMPARE(dialog.cancel_button()->nextInFocusChain(), static_cast<QWidget*>(dialog.ok_button()));
      QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
    }));
    QCOMPARE(text, QStringLiteral("trigger 1"));
    const DialogUnits du = dialog_units(f.window->font());
    QCOMPARE(size, QSize(du.x(300), du.y(36)));
    QCOMPARE(position, f.window->mapToGlobal(du.point(26, 24)));
    QVERIFY(icon == 1 || icon == 2);
  }

  void cancelChangesNothing() {
    WindowFixture f(five_records());
    QVERIFY(modify(f, ListKind::triggers, 0, [](ModifyEntryDialog& dialog) {
      dialog.edit_box()->setText("changed");
      QTest::mouseClick(dialog.cancel_button(), Qt::LeftButton);
    }));
    QCOMPARE(f.shown(ListKind::triggers), (QStringList{"Alpha 1", "trigger 1"}));
    QCOMPARE(f.model->pending(), 0);
  }

  void theCloseBoxChangesNothing() {
    WindowFixture f(five_records());
    QVERIFY(modify(f, ListKind::lines, 0, [](ModifyEntryDialog& dialog) {
      dialog.edit_box()->setText("changed");
      dialog.close();
    }));
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 1"});
    QCOMPARE(f.model->pending(), 0);
  }

  void escapeDoesNothingAndEnterInTheBoxDoesNothing() {
    WindowFixture f(five_records());
    bool still_open = false;
    QVERIFY(modify(f, ListKind::lines, 0, [&](ModifyEntryDialog& dialog) {
      QTest::keyClick(dialog.edit_box(), Qt::Key_Escape);
      QTest::keyClick(dialog.edit_box(), Qt::Key_Return);
      still_open = dialog.isVisible();
      dialog.ok_button()->setFocus();
      QTest::keyClick(dialog.ok_button(), Qt::Key_Return);  // presses the focused "&OK"
    }));
    QVERIFY(still_open);
    QCOMPARE(f.model->pending(), 1);
  }

  void okReplacesTheEntryInPlaceWithoutSorting() {
    WindowFixture f(five_records());
    QVERIFY(modify(f, ListKind::triggers, 0, [](ModifyEntryDialog& d) { set_text_and_ok(d, "zulu"); }));
    QCOMPARE(f.shown(ListKind::triggers), (QStringList{"zulu", "trigger 1"}));
    QCOMPARE(f.list(ListKind::triggers)->currentRow(), 0);
    QCOMPARE(f.model->pending(), 1);
    // Saved by the next step, and sorted when shown again.
    f.step_up();
    f.step_down();
    QCOMPARE(f.shown(ListKind::triggers), (QStringList{"trigger 1", "zulu"}));
  }



  void refusedTextKeepsTheDialogOpenWithTheText() {
    WindowFixture f(five_records());
    const QString snowman = QString::fromUtf8("\xE2\x98\x83");
    QString left;
    bool still_open = false;
    QVERIFY(modify(f, ListKind::lines, 0, [&](ModifyEntryDialog& dialog) {
      set_text_and_ok(dialog, snowman);
      still_open = dialog.isVisible();
      left = dialog.edit_box()->text();
    }));
    QVERIFY(still_open);
    QCOMPARE(left, snowman);
    QCOMPARE(f.prompt.errors(), 1);
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 1"});
    QCOMPARE(f.model->pending(), 0);
  }

  void aStoredOverlongEntryShowsWholeAndOnlyShorterTextIsTaken() {
    // Stored whole (a save would cut it), and shown again.
    WindowFixture f({});
    write_bytes(f.folder / "commdb.dat", count(0) + count(0) + count(1) + line(std::string(6000, 'x')));
    write_bytes(f.folder / "commdb.idx", index_bytes({0}));
    f.model->open();
    f.type_record("\b1");
    QList<int> lengths;
    bool still_open = false;
    QVERIFY(modify(f, ListKind::lines, 0, [&](ModifyEntryDialog& dialog) {
      QLineEdit* box = dialog.edit_box();
      box->end(false);
      lengths.append(box->text().size());
      QTest::keyClick(box, Qt::Key_Y);  // longer still: refused
      lengths.append(box->text().size());
      QCoreApplication::processEvents();
      QTest::keyClick(box, Qt::Key_Backspace);
      lengths.append(box->text().size());
      QTest::mouseClick(dialog.ok_button(), Qt::LeftButton);  // still too long for an entry
      still_open = dialog.isVisible();
    }));
    QCOMPARE(lengths, (QList<int>{6000, 6000, 5999}));
    QVERIFY(still_open);
    QCOMPARE(f.prompt.errors(), 2);
    for (const Message& message : f.prompt.messages) QCOMPARE(message.text, std::string(kEntryTooLong));
    QCOMPARE(f.model->pending(), 0);
  }

  void everyByteOfAnEntrySurvivesAnUnchangedOk() {
    // Tab, the undefined 0x81 and 0x9D, the euro sign and accented letters.
    const char* bytes = "a\tb\x81\x9D\x80\xE9\xFF";
    WindowFixture f({make_record({}, {}, {bytes})});
    QVERIFY(modify(f, ListKind::lines, 0,
                   [](ModifyEntryDialog& d) { QTest::mouseClick(d.ok_button(), Qt::LeftButton); }));
    f.click("saveRecord");
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::lines), EntryList{bytes});
  }

  void aDoubleClickOnAnEmptyListOpensNothing() {
    WindowFixture f({});
    bool opened = false;
    QTimer::singleShot(0, [&] {
      opened = QApplication::activeModalWidget() != nullptr;
      if (opened) QApplication::activeModalWidget()->close();
    });
    QListWidget* list = f.list(ListKind::lines);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCoreApplication::processEvents();
    QVERIFY(!opened);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::ModifyEntryTest)
#include "modify_entry_test.moc"
