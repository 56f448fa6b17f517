#pragma once
// What the window tests share: the database folder of every suite, the
// editing model over it, the real main window shown offscreen and active,
// and helpers that work and read the real widgets.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "tests/support/database_folder.h"
#include "ui/main_window.h"

namespace zenfaro::testing {

// Record k: triggers "trigger k" and "Alpha k", exclusion "exclusion k", line "line k".
inline std::vector<Record> numbered_records(int count) {
  std::vector<Record> records;
  for (int k = 1; k <= count; ++k) {
    const std::string n = std::to_string(k);
    records.push_back(make_record({"trigger " + n, "Alpha " + n}, {"exclusion " + n}, {"line " + n}));
  }
  return records;
}

// Lets `answer` work the modal dialog of type D that opens next; one left
// open afterwards is closed, so that a failed check cannot hang the test.
template <typename D>
void answer_modal(std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
    if (dialog != nullptr) answer(*dialog);
    if (dialog != nullptr && dialog->isVisible()) dialog->close();
  });
}

// The database folder with the editing model and the window over it.
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
  // The texts a list shows, top to bottom, as "a, b".
  QString shown(ListKind kind) const {
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

// A control as "ID CAPTION": its "controlId" property and its text.
inline QString id_and_caption(const QWidget* widget) {
  return widget->property("controlId").toString() + ' ' + widget->property("text").toString();
}

}  // namespace zenfaro::testing
