// The main window as built: title, size and position in dialog units, the
// controls with their identifiers, creation and tab order, mnemonics, the
// keyboard rules, the icon, and text on screen.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/dialog_units.h"
#include "ui/entry_text.h"
#include "ui/icons.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {

class WindowFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void titleSizeAndPositionComeFromDialogUnits() {
    WindowFixture f({});
    const DialogUnits du = dialog_units(dialog_font());
    QCOMPARE(f.window->windowTitle(), QStringLiteral("Pelmar 7 Ostrin Commentary Engine Beta 4"));
    QCOMPARE(f.window->size(), QSize(du.x(332), du.y(246)));
    QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    QCOMPARE(f.window->pos(), QGuiApplication::primaryScreen()->geometry().topLeft() + du.point(6, 18));
    QVERIFY(f.window->parent() == nullptr);
    QCOMPARE(f.window->font(), dialog_font());
  }

  void dialogUnitsAreAQuarterOfTheAverageWidthAndAnEighthOfTheHeight() {
    DialogUnits du;
    du.base_x = 6;
    du.base_y = 13;
    QCOMPARE(du.x(332), 498);
    QCOMPARE(du.y(246), 400);
    // Both corners are mapped, so rectangles that touch in units touch on screen.
    for (int units = 0; units < 40; ++units) {
      const QRect left = du.rect(units, units, 1, 1);
      const QRect right = du.rect(units + 1, units + 1, 1, 1);
      QCOMPARE(left.x() + left.width(), right.x());
      QCOMPARE(left.y() + left.height(), right.y());
    }
    QFont font = QApplication::font();
    font.setPointSize(8);
    QCOMPARE(dialog_units(font).base_y, QFontMetrics(font).height());
  }

  void controlsAreCreatedInTheirOrderWithTheirIdentifiers() {
    WindowFixture f({});
    QList<int> ids;
    for (QObject* child : f.window->children()) {
      if (child->property("controlId").isValid()) ids.append(child->property("controlId").toInt());
    }
    const QList<int> expected = {104, 101, 114, 105, 102, 115, 106, 103, 116, 107, 108,
                                 109, 110, 111, 120, 119, 112, 117, 118, 199, 113};
    QCOMPARE(ids, expected);
  }

  void captionsAreThoseOfTheLayout() {
    WindowFixture f({});
    const QList<QPair<const char*, const char*>> captions = {
        {"deleteTriggers", "Delete"},          {"deleteExclusions", "Delete"},
        {"deleteLines", "Delete"},             {"addTriggers", "Add To T&riggers"},
        {"addExclusions", "Add To E&xclusion"}, {"addLines", "Add To Co&mmentary"},
        {"import", "&Import Commentary"},      {"export", "E&xport Commentary"},
        {"saveRecord", "&Save Record"},        {"deleteRecord", "&Delete Record"},
        {"quit", "&Quit"}};
    for (const auto& [name, caption] : captions) QCOMPARE(f.button(name)->text(), QString::fromLatin1(caption));
    QCOMPARE(f.record_text(), QStringLiteral("1"));
    QVERIFY(f.window->item_box()->text().isEmpty());
  }

  void tabOrderIsCreationOrderWithoutTheRecordBoxAndNavigator() {
    WindowFixture f({});
    QWidget* first = f.list(ListKind::triggers);
    QStringList order;
    QWidget* widget = first;
    do {
      if (widget->focusPolicy() & Qt::TabFocus) order.append(widget->objectName());
      widget = widget->nextInFocusChain();
    } while (widget != first);
    const QStringList expected = {"triggers", "deleteTriggers", "exclusions", "deleteExclusions", "lines",
                                  "deleteLines", "item", "addTriggers", "addExclusions", "addLines", "import",
                                  "export", "saveRecord", "deleteRecord", "quit"};
    QCOMPARE(order, expected);
    QVERIFY(!(f.window->record_box()->focusPolicy() & Qt::TabFocus));
    QCOMPARE(f.window->navigator()->focusPolicy(), Qt::NoFocus);
  }

  void eachLabelLeadsToTheControlAfterIt() {
    WindowFixture f({});
    const QList<QPair<const char*, QWidget*>> buddies = {{"triggersLabel", f.list(ListKind::triggers)},
                                                         {"exclusionsLabel", f.list(ListKind::exclusions)},
                                                         {"linesLabel", f.list(ListKind::lines)},
                                                         {"itemLabel", f.window->item_box()}};
    for (const auto& [name, buddy] : buddies) {
      QCOMPARE(f.window->findChild<QLabel*>(QString::fromLatin1(name))->buddy(), buddy);
    }
  }

  void mnemonicMovesTheFocusToTheLabelsControl() {
    WindowFixture f({});
    f.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_A, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), f.window->item_box());
    QTest::keyClick(f.window.get(), Qt::Key_L, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.list(ListKind::lines)));
  }

  void listsTakeExtendedSelectionAndOnlyTheLinesScrollSideways() {
    WindowFixture f({});
    for (ListKind kind : kAllLists) {
      QCOMPARE(f.list(kind)->selectionMode(), QAbstractItemView::ExtendedSelection);
      QVERIFY(!f.list(kind)->isSortingEnabled());
    }
    QCOMPARE(f.list(ListKind::triggers)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(f.list(ListKind::lines)->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  }

  void everyLineShowsWholeWithTheScrollBarReachingTheLongest() {
    const std::string long_line(130, 'W');
    WindowFixture f({make_record({"a short trigger"}, {}, {long_line.c_str()})});
    f.add("addLines", "short");
    QListWidget* lines = f.list(ListKind::lines);
    QCoreApplication::processEvents();  // the list's layout
    const int long_width = lines->fontMetrics().horizontalAdvance(QString::fromStdString(long_line));
    for (int row = 0; row < lines->count(); ++row) {
      QVERIFY2(lines->visualItemRect(lines->item(row)).width() > long_width, qPrintable(lines->item(row)->text()));
    }
    QVERIFY(lines->horizontalScrollBar()->maximum() + lines->viewport()->width() > long_width);
    lines->horizontalScrollBar()->setValue(lines->horizontalScrollBar()->maximum());
    QVERIFY(lines->visualItemRect(lines->item(0)).right() <= lines->viewport()->width());
  }

  void navigatorSitsAtTheLeftEdgeOfTheRecordBox() {
    WindowFixture f({});
    const DialogUnits du = dialog_units(f.window->font());
    const QRect box = du.rect(10, 210, 30, 12);
    const QRect navigator = f.window->navigator()->geometry();
    QCOMPARE(navigator.topLeft(), box.topLeft());
    QCOMPARE(navigator.height(), box.height());
    QCOMPARE(navigator.width(), du.x(8));
    QCOMPARE(f.window->record_box()->geometry(), box.adjusted(navigator.width(), 0, 0, 0));
  }

  void noButtonIsDefault() {
    WindowFixture f({});
    for (QPushButton* button : f.window->findChildren<QPushButton*>()) {
      QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }
  }

  void escapeDoesNothing() {
    WindowFixture f({});
    QTest::keyClick(f.list(ListKind::triggers), Qt::Key_Escape);
    QTest::keyClick(f.window->item_box(), Qt::Key_Escape);
    QVERIFY(f.window->isVisible());
  }

  void enterInTheItemBoxPressesNoButton() {
    WindowFixture f({});
    QTest::keyClicks(f.window->item_box(), "goal");
    QTest::keyClick(f.window->item_box(), Qt::Key_Return);
    QCOMPARE(f.window->item_box()->text(), QStringLiteral("goal"));
    QVERIFY(f.shown(ListKind::triggers).isEmpty());
    QVERIFY(f.window->isVisible());
  }

  void enterPressesTheButtonThatHasTheFocus() {
    WindowFixture f({});
    QTest::keyClicks(f.window->item_box(), "goal");
    f.button("addLines")->setFocus();
    QTest::keyClick(f.button("addLines"), Qt::Key_Return);
    QCOMPARE(f.shown(ListKind::lines), QStringList{"goal"});
  }

  void theIconIsDrawnFromTheGeneratorSeededAtStartUp() {
    WindowFixture f({});
    IconChooser same_seed(7);
    QCOMPARE(f.window->property("iconResource").toInt(), same_seed.next());
    QVERIFY(!f.window->windowIcon().isNull());
    const QImage one = icon_image(1);
    const QImage two = icon_image(2);
    QCOMPARE(one.size(), QSize(32, 32));
    QCOMPARE(two.size(), QSize(32, 32));
    QVERIFY(one != two);
  }

  void everyByteValueRoundTripsThroughTheScreenText() {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString text = entry_to_text(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x81), QChar(0x81));
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QLineEdit box;
    box.setText(text);
    const std::optional<std::string> back = text_to_entry(box.text());
    QVERIFY(back.has_value());
    QVERIFY(*back == all);
  }

};

}  // namespace zenfaro::testing

QTEST_MAIN(zenfaro::testing::WindowFrameTest)
#include "window_frame_test.moc"
