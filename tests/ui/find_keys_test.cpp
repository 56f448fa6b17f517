// Find (Ctrl+F) on the real window, and the keys that reach records without
// the mouse: Ctrl+G, Ctrl+Page Down and Ctrl+Page Up.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/find_dialog.h"

namespace zenfaro::testing {
namespace {

void activate(WindowFixture& f) {
  f.window->activateWindow();
  if (!QTest::qWaitForWindowActive(f.window.get())) qWarning("the window did not become active");
}

FindDialog* open_find(WindowFixture& f) {
  activate(f);
  QTest::keyClick(f.window.get(), Qt::Key_F, Qt::ControlModifier);
  FindDialog* find = f.window->find_dialog();
  if (find == nullptr || !QTest::qWaitForWindowActive(find)) qWarning("the Find dialog did not become active");
  return find;
}

// The list and row of the one entry selected in the three lists, as "T0".
QString selected(const WindowFixture& f) {
  QString found;
  for (ListKind kind : kAllLists) {
    for (const QModelIndex& index : f.list(kind)->selectionModel()->selectedRows()) {
      found += QStringLiteral("TXL").at(static_cast<int>(kind)) + QString::number(index.row());
    }
  }
  return found;
}

}  // namespace

class FindKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void matchesAreShownThroughTheRecordBoxInTurnRoundTheEndsOrNothingMoves() {
    WindowFixture f(five_records());
    f.type_record("\b4");
    f.add("addLines", "corner kick");  // pending, saved on the way to the first match
    FindDialog* find = open_find(f);
    QVERIFY(find != nullptr && find->isVisible() && !find->isModal());
    QCOMPARE(find->parentWidget(), static_cast<QWidget*>(f.window.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(find->text_box()));
    const struct {
      const char* text;
      int list;  // 0 all, 1 triggers, 2 exclusions, 3 lines
      bool match_case;
      bool next;
      const char* record;
      const char* selected;
    } rows[] = {
        {"alpha", 0, false, true, "5", "T0"},  {"alpha", 0, false, true, "1", "T0"},  // wraps
        {"alpha", 0, false, false, "5", "T0"},                                       // wraps back
        {"5", 0, false, true, "5", "T1"},      {"5", 0, false, true, "5", "X0"},      // on in the record
        {"line", 3, false, false, "4", "L0"},  {"ALPHA", 0, true, true, "4", "L0"},  // not found
    };
    for (const auto& row : rows) {
      find->text_box()->setText(QString::fromLatin1(row.text));
      find->list_box()->setCurrentIndex(row.list);
      find->match_case_box()->setChecked(row.match_case);
      if (row.next) {
        find->text_box()->setFocus();
        QTest::keyClick(find->text_box(), Qt::Key_Return);  // "Find &Next" is the default button
      } else {
        QTest::mouseClick(find->previous_button(), Qt::LeftButton);
      }
      QCOMPARE(f.record_text(), QString::fromLatin1(row.record));
      QCOMPARE(selected(f), QString::fromLatin1(row.selected));
    }
    QCOMPARE(stored_records(f.folder.path()).at(3).list(ListKind::lines), (EntryList{"line 4", "corner kick"}));
    QCOMPARE(f.prompt.messages.size(), std::size_t{1});
    QCOMPARE(f.prompt.messages[0].text, std::string("\"ALPHA\" was not found."));
    find->text_box()->clear();
    QVERIFY(!find->next_button()->isEnabled() && !find->previous_button()->isEnabled());
  }

  void keysStepGoToAndFindFromAnywhereAndAddToGivesTheFocusBackToTheItemBox() {
    WindowFixture f(five_records());
    activate(f);
    const QList<QWidget*> focus = {f.list(ListKind::triggers), f.window->item_box(), f.window->record_box(),
                                   f.button("quit")};
    for (QWidget* widget : focus) {
      f.clear_record_box();
      f.type_record("5");
      widget->setFocus();
      QTest::keyClick(widget, Qt::Key_PageDown, Qt::ControlModifier);
      QCOMPARE(f.record_text(), QStringLiteral("6"));
      QTest::keyClick(widget, Qt::Key_PageDown, Qt::ControlModifier);
      QCOMPARE(f.record_text(), QStringLiteral("1"));  // wraps
      QTest::keyClick(widget, Qt::Key_PageUp, Qt::ControlModifier);
      QCOMPARE(f.record_text(), QStringLiteral("6"));
      QTest::keyClick(widget, Qt::Key_G, Qt::ControlModifier);
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->record_box()));
      QCOMPARE(f.window->record_box()->selectedText(), QStringLiteral("6"));
      QTest::keyClicks(f.window->record_box(), "2");
      QCOMPARE(f.shown(ListKind::lines), QStringList{"line 2"});
    }
    QTest::keyClick(f.window->item_box(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(f.window->find_dialog() != nullptr && f.window->find_dialog()->isVisible());
    // After an "Add To" button the next entry is typed at once.
    activate(f);
    QTest::keyClicks(f.window->item_box(), "first");
    f.button("addLines")->setFocus();
    QTest::keyClick(f.button("addLines"), Qt::Key_Return);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.window->item_box()));
    QTest::keyClicks(QApplication::focusWidget(), "second");
    QTest::mouseClick(f.button("addLines"), Qt::LeftButton);
    QCOMPARE(f.shown(ListKind::lines), (QStringList{"line 2", "first", "second"}));
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::FindKeysTest)
#include "find_keys_test.moc"
