#pragma once
// What the window tests share: a database in a fresh folder, the editing
// model over it with a scripted prompt, the real main window shown offscreen
// and active, and helpers that work and read the real widgets.
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/database.h"
#include "tests/support/faulty_env.h"
#include "tests/support/records.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"
#include "ui/main_window.h"

namespace zenfaro::testing {

// Record k of n: triggers "trigger k" and "Alpha k", exclusion "exclusion k", line "line k".
inline std::vector<Record> numbered_records(int n) {
  std::vector<Record> records;
  for (int k = 1; k <= n; ++k) {
    const std::string s = std::to_string(k);
    records.push_back(make_record({"trigger " + s, "Alpha " + s}, {"exclusion " + s}, {"line " + s}));
  }
  return records;
}

// Writes `records` as the database of the standalone layout in `folder`.
inline void write_database(const fs::path& folder, const std::vector<Record>& records) {
  std::string data, index;
  for (const Record& record : records) {
    for (int shift = 0; shift < 32; shift += 8) index += static_cast<char>((data.size() >> shift) & 0xFF);
    data += stored(record);
  }
  write_bytes(folder / "commdb.dat", data);
  write_bytes(folder / "commdb.idx", index);
}

inline std::vector<Record> stored_records(const fs::path& folder) {
  Database db;
  db.layout = Layout{folder, false};
  load_index(db, db.layout.index_file(), db.layout.data_file());
  std::vector<Record> records;
  for (std::int32_t n = 1; n <= db.record_count; ++n) records.push_back(read_record(db, n));
  return records;
}

// Lets `answer` work the modal dialog of type D that opens next; one left
// open afterwards is closed, so that a failed check cannot hang the test.
template <typename D>
void answer_modal(std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = dynamic_cast<D*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      qWarning("no dialog of the expected kind opened");
      return;
    }
    answer(*dialog);
    if (dialog->isVisible()) dialog->close();
  });
}

struct WindowFixture {
  explicit WindowFixture(const std::vector<Record>& records = numbered_records(5)) {
    write_database(folder.path(), records);
    model = std::make_unique<EditorModel>(env, Layout{folder.path(), false}, prompt);
    window = std::make_unique<MainWindow>(*model, icons);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get())) qWarning("the window did not become active");
  }

  TempFolder folder;
  FaultyEnv env;
  ScriptedPrompt prompt;
  IconChooser icons{7};
  std::unique_ptr<EditorModel> model;
  std::unique_ptr<MainWindow> window;

  QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
  QListWidget* list(ListKind kind) const { return window->list_widget(kind); }
  void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
  // The texts a list shows, top to bottom, as "a, b".
  QString shown(ListKind kind) const {
    QStringList texts;
    for (int row = 0; row < list(kind)->count(); ++row) texts << list(kind)->item(row)->text();
    return texts.join(QStringLiteral(", "));
  }
  // A click and then a double-click on the entry at `row`.
  void double_click(ListKind kind, int row) const {
    const QPoint centre = list(kind)->visualItemRect(list(kind)->item(row)).center();
    QTest::mouseClick(list(kind)->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseDClick(list(kind)->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  }
};

// A control as "ID CAPTION" (its "controlId" property and its text).
inline QString id_and_caption(const QWidget* widget) {
  return widget->property("controlId").toString() + QLatin1Char(' ') + widget->property("text").toString();
}

}  // namespace zenfaro::testing
