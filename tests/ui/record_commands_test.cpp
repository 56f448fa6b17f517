// The list and record buttons on the real widgets: adding with the
// alternatives expansion, refused text, deleting selected entries, saving and
// deleting records, and the two exchange buttons.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/model/exchange_commands.h"

namespace zenfaro::testing {

class RecordCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void anAddedTriggerTakesItsPlaceIgnoringCase() {
    WindowFixture f({make_record({"alpha", "Gamma"}, {}, {"first", "second"})});
    f.add("addTriggers", "beta");
    QCOMPARE(f.shown(ListKind::triggers), (QStringList{"alpha", "beta", "Gamma"}));
    QVERIFY(f.window->item_box()->text().isEmpty());
    QCOMPARE(f.model->pending(), 1);
    f.add("addLines", "a line");
    QCOMPARE(f.shown(ListKind::lines), (QStringList{"first", "second", "a line"}));
  }

  void alternativesExpandInSortedAndUnsortedLists() {
    WindowFixture f({});
    f.add("addTriggers", "The (quick,slow) fox");
    QCOMPARE(f.shown(ListKind::triggers), (QStringList{"The quick fox", "The slow fox"}));
    f.add("addLines", "What a (strike,shot,effort)!");
    QCOMPARE(f.shown(ListKind::lines), (QStringList{"What a strike!", "What a shot!", "What a effort!"}));
  }



  void textThatWindows1252CannotHoldIsRefusedAndLeftInTheBox() {
    WindowFixture f(five_records());
    const QString snowman = QString::fromUtf8("Snow \xE2\x98\x83 man");
    f.window->item_box()->setText(snowman);
    f.click("addLines");
    QCOMPARE(f.prompt.errors(), 1);
    QVERIFY(f.prompt.messages[0].text.find("U+2603") != std::string::npos);
    QCOMPARE(f.window->item_box()->text(), snowman);
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 1"});
    QCOMPARE(f.model->pending(), 0);
  }

  void windows1252TextIsStoredAsItsBytes() {
    WindowFixture f({});
    f.add("addLines", QString::fromUtf8("M\xC3\xBCller scores \xE2\x82\xAC"));
    f.click("saveRecord");
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::lines), EntryList{"M\xFCller scores \x80"});
    QCOMPARE(f.shown(ListKind::lines), QStringList{QString::fromUtf8("M\xC3\xBCller scores \xE2\x82\xAC")});
  }

  void anOverlongPasteOrKeystrokeIsRefusedWholeWithTheTooLongMessage() {
    WindowFixture f({});
    QLineEdit* box = f.window->item_box();
    QTest::keyClicks(box, "ab");
    // A paste beyond 4999 characters, or one more key, changes nothing and
    // is told once the key has been handled (once for keys in a row).
    for (const int pasted : {6000, 4997, 1}) {
      QApplication::clipboard()->setText(QString(pasted, QLatin1Char('x')));
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
      if (pasted == 6000) {
        QCOMPARE(box->text(), QStringLiteral("ab"));
        QVERIFY(f.prompt.messages.empty());
        QCoreApplication::processEvents();
      }
    }
    QTest::keyClick(box, Qt::Key_Y);
    QCOMPARE(box->text().size(), 4999);
    QCoreApplication::processEvents();
    QCOMPARE(f.prompt.errors(), 2);
    QCOMPARE(f.prompt.messages.back().text, std::string(kEntryTooLong));
    f.click("addLines");
    f.click("saveRecord");
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::lines).at(0).size(), std::size_t{4999});
  }

  void deleteRemovesExactlyTheSelectedEntries() {
    WindowFixture f({make_record({}, {}, {"l0", "l1", "l2", "l3", "l4"})});
    f.select(ListKind::lines, {3, 0, 2});
    f.click("deleteLines");
    QCOMPARE(f.shown(ListKind::lines), (QStringList{"l1", "l4"}));
    QCOMPARE(f.model->pending(), 0);
    f.click("deleteLines");  // nothing selected now
    QCOMPARE(f.shown(ListKind::lines), (QStringList{"l1", "l4"}));
  }

  void saveRecordStoresDeletionsAndLeavesTheScreen() {
    WindowFixture f(five_records());
    f.select(ListKind::triggers, {1});
    f.click("deleteTriggers");
    f.click("saveRecord");
    QCOMPARE(stored_records(f.folder.path()).at(0).list(ListKind::triggers), EntryList{"Alpha 1"});
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    QCOMPARE(f.shown(ListKind::triggers), QStringList{"Alpha 1"});
  }

  void deleteRecordAsksAndShowsTheRecordThatTookItsNumber() {
    WindowFixture f(five_records());
    f.type_record("\b3");
    f.prompt.answers = {true};
    f.click("deleteRecord");
    QCOMPARE(f.prompt.questions.size(), std::size_t{1});
    const Question& question = f.prompt.questions[0];
    QCOMPARE(question.text, std::string("Are you sure you want to delete this record ?"));
    QCOMPARE(question.caption, std::string("Confirm Action"));
    QCOMPARE(question.icon, Icon::question);
    QVERIFY(!question.default_yes);
    QCOMPARE(f.record_text(), QStringLiteral("3"));
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 4"});
    QCOMPARE(stored_records(f.folder.path()).size(), std::size_t{4});
  }

  void deletingTheLastRecordShowsTheNewLastOne() {
    WindowFixture f(five_records());
    f.type_record("\b5");
    f.prompt.answers = {true};
    f.click("deleteRecord");
    QCOMPARE(f.record_text(), QStringLiteral("4"));
    QCOMPARE(f.shown(ListKind::lines), QStringList{"line 4"});
    f.step_up();
    QCOMPARE(f.record_text(), QStringLiteral("5"));  // the new-record position
    QVERIFY(f.shown(ListKind::lines).isEmpty());
  }




  void exportAsksForAFileAndChangesNothingOnScreen() {
    WindowFixture f(five_records());
    f.add("addTriggers", "pending");
    f.click("export");  // the scripted prompt cancels the dialog
    QCOMPARE(f.prompt.file_requests.size(), std::size_t{1});
    QCOMPARE(f.prompt.file_requests[0].title, std::string("Commentary Export"));
    QCOMPARE(f.prompt.file_requests[0].kind, FileDialogKind::save);
    QVERIFY(f.prompt.messages.empty());
    QCOMPARE(f.model->pending(), 1);
    QVERIFY(f.shown(ListKind::triggers).contains("pending"));
  }

  void cancellingTheImportDialogLeavesTheWindowAsItWas() {
    WindowFixture f(five_records());
    f.click("import");
    QCOMPARE(f.prompt.file_requests.size(), std::size_t{1});
    QCOMPARE(f.prompt.file_requests[0].title, std::string("Cross-Reference Output File"));
    QVERIFY(f.prompt.messages.empty());
    QVERIFY(f.window->isVisible());
  }

  void aCompletedImportEndsTheWindowWith123() {
    bool imported = false;
    ExchangeActions actions = default_exchange_actions();
    actions.import_records = [&imported](EditorModel&) { return imported = true; };
    WindowFixture f(five_records(), actions);
    f.click("import");
    QVERIFY(imported);
    QVERIFY(!f.window->isVisible());
    QCOMPARE(f.window->result(), static_cast<int>(kEndImported));
  }

  void anImportThatStopsEarlyKeepsTheWindowOpen() {
    ExchangeActions actions = default_exchange_actions();
    actions.import_records = [](EditorModel&) { return false; };
    WindowFixture f(five_records(), actions);
    f.add("addTriggers", "pending");
    f.click("import");
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.model->pending(), 1);
  }
};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::RecordCommandsTest)
#include "record_commands_test.moc"
