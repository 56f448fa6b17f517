// Moving between records with the navigator, the Up and Down keys and typing
// in the record-number box; what a pending edit does on the way; how the
// window ends.
#include <QLineEdit>
#include <QTest>

#include "tests/ui/window_fixture.h"

namespace zenfaro::testing {
namespace {

const QStringList kRecord1Triggers = {"Alpha 1", "trigger 1"};

EntryList triggers_of(const Record& record) { return record.list(ListKind::triggers); }

}  // namespace

class NavigationTest : public QObject {
  Q_OBJECT

 private slots:
  void opensOnRecordOneWithTheNavigatorUpToNPlusOne() {
    WindowFixture f(five_records());
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    QCOMPARE(f.shown(ListKind::triggers), kRecord1Triggers);
    QCOMPARE(f.shown(ListKind::exclusions), QStringList{"exclusion 1"});
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 1"});
    for (int k = 2; k <= 6; ++k) {
      f.step_up();
      QCOMPARE(f.record_text(), QString::number(k));
    }
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    QVERIFY(f.shown(ListKind::lines).isEmpty());
  }


  void theNavigatorWrapsAtBothEnds() {
    WindowFixture f(five_records());
    f.step_down();
    QCOMPARE(f.record_text(), QStringLiteral("6"));
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    QCOMPARE(f.shown(ListKind::triggers), kRecord1Triggers);
  }

  void upAndDownKeysInTheBoxStepTheNavigator() {
    WindowFixture f(five_records());
    QTest::keyClick(f.window->record_box(), Qt::Key_Up);
    QTest::keyClick(f.window->record_box(), Qt::Key_Up);
    QCOMPARE(f.record_text(), QStringLiteral("3"));
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 3"});
    QTest::keyClick(f.window->record_box(), Qt::Key_Down);
    QCOMPARE(f.record_text(), QStringLiteral("2"));
  }

  void typingNavigatesOnEveryKeystroke() {
    WindowFixture f(five_records());
    f.clear_record_box();
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    f.type_record("4");
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 4"});
    f.type_record("0");  // 40: beyond the new-record position
    QCOMPARE(f.record_text(), QStringLiteral("40"));
    QVERIFY(f.shown(ListKind::lines).isEmpty());
    // The next step starts from the number typed.
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("1"));
  }

  void numbersBelowOneShowEmptyListsAndTakeNoEntries() {
    WindowFixture f(five_records());
    const std::vector<Record> before = stored_records(f.folder.path());
    f.clear_record_box();
    f.type_record("0");
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    f.add("addTriggers", "goal");
    QCOMPARE(f.prompt.errors(), 1);
    QCOMPARE(f.window->item_box()->text(), QStringLiteral("goal"));  // left for the user
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    f.click("saveRecord");
    f.click("deleteRecord");
    QVERIFY(f.prompt.questions.empty());  // nothing there to delete
    QVERIFY(stored_records(f.folder.path()) == before);
    // From such a number the navigator steps to the ends of its range.
    f.step_down();
    QCOMPARE(f.record_text(), QStringLiteral("6"));
    f.clear_record_box();
    f.type_record("-3");
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    // The box reads decimal numbers only: "&H3" is no record 3.
    f.clear_record_box();
    f.type_record("&H3");
    QVERIFY(f.shown(ListKind::lines).isEmpty());
  }

  void aPendingAdditionIsSavedByStepping() {
    WindowFixture f(five_records());
    f.type_record("\b3");
    QCOMPARE(f.record_text(), QStringLiteral("3"));
    f.add("addTriggers", "new one");
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("4"));
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 4"});
    QCOMPARE(triggers_of(stored_records(f.folder.path()).at(2)), (EntryList{"Alpha 3", "new one", "trigger 3"}));
    QCOMPARE(f.model->pending(), 0);
  }


  void deletionsAloneAreLostOnNavigation() {
    WindowFixture f(five_records());
    f.select(ListKind::triggers, {0});
    f.click("deleteTriggers");
    QCOMPARE(f.shown(ListKind::triggers), QStringList{"trigger 1"});
    f.step_up();
    f.step_down();
    QCOMPARE(f.shown(ListKind::triggers), kRecord1Triggers);
    QVERIFY(stored_records(f.folder.path()) == five_records());
  }


  void steppingBeyondNineHundredNinetyNineWritesPlainDigits() {
    WindowFixture f({});
    // A thousand records, written directly: count lines and a 4-byte index.
    std::string data;
    std::string index;
    for (int k = 0; k < 1000; ++k) {
      const auto offset = static_cast<std::int32_t>(data.size());
      for (int shift = 0; shift < 32; shift += 8) index += static_cast<char>((offset >> shift) & 0xFF);
      data += count(1) + line("t" + std::to_string(k + 1)) + count(0) + count(1) + line("l");
    }
    write_bytes(f.folder / "commdb.dat", data);
    write_bytes(f.folder / "commdb.idx", index);
    EditorModel model(f.env, Layout{f.folder.path(), false}, f.prompt);
    MainWindow window(model, f.icons, default_exchange_actions());
    window.record_box()->setText(QStringLiteral("999"));
    QTest::keyClick(window.record_box(), Qt::Key_Up);
    QCOMPARE(window.record_box()->text(), QStringLiteral("1000"));
    QCOMPARE(window.list_widget(ListKind::triggers)->item(0)->text(), QStringLiteral("t1000"));
    QTest::keyClick(window.record_box(), Qt::Key_Up);
    QCOMPARE(window.record_box()->text(), QStringLiteral("1001"));
  }

  void theCloseBoxLosesAnAddition() {
    WindowFixture f(five_records());
    f.add("addTriggers", "lost");
    QVERIFY(f.window->close());
    QCOMPARE(f.window->result(), static_cast<int>(kEndClosed));
    QVERIFY(stored_records(f.folder.path()) == five_records());
  }

  void quitKeepsAnAdditionAndEndsWithOne() {
    WindowFixture f(five_records());
    f.add("addTriggers", "kept");
    f.click("quit");
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), static_cast<int>(kEndQuit));
    QCOMPARE(triggers_of(stored_records(f.folder.path()).at(0)), (EntryList{"Alpha 1", "kept", "trigger 1"}));
  }


  void aFailedSaveOnNavigationKeepsTheRecordOnScreen() {
    WindowFixture f(five_records());
    f.add("addTriggers", "precious");
    f.env.fail_at = static_cast<int>(f.env.log.size());
    f.step_up();
    QCOMPARE(f.prompt.errors(), 1);
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    QVERIFY(f.shown(ListKind::triggers).contains("precious"));
    // Once the disk works again, the next step saves it.
    f.env.fail_at = -1;
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("2"));
    QCOMPARE(triggers_of(stored_records(f.folder.path()).at(0)), (EntryList{"Alpha 1", "precious", "trigger 1"}));
  }

  void aFailedSaveOnQuitKeepsTheWindowOpen() {
    WindowFixture f(five_records());
    f.add("addTriggers", "precious");
    f.env.fail_at = static_cast<int>(f.env.log.size());
    f.click("quit");
    QCOMPARE(f.prompt.errors(), 1);
    QVERIFY(f.window->isVisible());
    QVERIFY(f.shown(ListKind::triggers).contains("precious"));
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::NavigationTest)
#include "navigation_test.moc"
