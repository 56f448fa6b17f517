#include "tests/ui/window_fixture.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "core/database.h"
#include "core/write_record_set.h"
#include "ui/record_navigator.h"

namespace zenfaro::testing {
namespace {

EntryList entries(std::initializer_list<const char*> texts) { return EntryList(texts.begin(), texts.end()); }

Database open_standalone(const fs::path& folder) {
  Database db;
  db.layout = Layout{folder, false};
  load_index(db, db.layout.index_file(), db.layout.data_file());
  return db;
}

}  // namespace

void type_text(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() < 0x80) {
      QTest::keyClick(widget, c.toLatin1());
    } else {
      // A key that produces this character (what an input method delivers).
      QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
  }
}

Record make_record(std::initializer_list<const char*> triggers, std::initializer_list<const char*> exclusions,
                   std::initializer_list<const char*> lines) {
  Record record;
  record.list(ListKind::triggers) = entries(triggers);
  record.list(ListKind::exclusions) = entries(exclusions);
  record.list(ListKind::lines) = entries(lines);
  return record;
}

void write_database(const fs::path& folder, const std::vector<Record>& records) {
  Database db = open_standalone(folder);
  for (const Record& record : records) {
    const Status status = write_record_set(db, db.record_count + 1, WriteMode::save, record);
    if (!status.is_ok()) qFatal("could not write the test database: %s", status.message().c_str());
  }
}

std::vector<Record> stored_records(const fs::path& folder) {
  const Database db = open_standalone(folder);
  std::vector<Record> records;
  for (std::int32_t n = 1; n <= db.record_count; ++n) records.push_back(read_record(db, n));
  return records;
}

std::vector<Record> five_records() {
  std::vector<Record> records;
  for (int k = 1; k <= 5; ++k) {
    const std::string n = std::to_string(k);
    Record record;
    record.list(ListKind::triggers) = {"trigger " + n, "Alpha " + n};
    record.list(ListKind::exclusions) = {"exclusion " + n};
    record.list(ListKind::lines) = {"line " + n};
    records.push_back(record);
  }
  return records;
}

WindowFixture::WindowFixture(const std::vector<Record>& records, ExchangeActions actions) {
  write_database(folder.path(), records);
  model = std::make_unique<EditorModel>(env, Layout{folder.path(), false}, prompt);
  window = std::make_unique<MainWindow>(*model, icons, std::move(actions));
  window->show();
  if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the window was not exposed");
}

WindowFixture::~WindowFixture() { window.reset(); }

QPushButton* WindowFixture::button(const char* name) const {
  auto* found = window->findChild<QPushButton*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no button %s", name);
  return found;
}

QStringList WindowFixture::shown(ListKind kind) const {
  QStringList texts;
  for (int row = 0; row < list(kind)->count(); ++row) texts.append(list(kind)->item(row)->text());
  return texts;
}

QString WindowFixture::record_text() const { return window->record_box()->text(); }

void WindowFixture::click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

void WindowFixture::step_up() const { QTest::mouseClick(window->navigator()->up_button(), Qt::LeftButton); }

void WindowFixture::step_down() const { QTest::mouseClick(window->navigator()->down_button(), Qt::LeftButton); }

void WindowFixture::type_record(const QString& text) const {
  QLineEdit* box = window->record_box();
  box->end(false);
  type_text(box, text);
}

void WindowFixture::clear_record_box() const {
  QLineEdit* box = window->record_box();
  box->end(false);
  while (!box->text().isEmpty()) QTest::keyClick(box, Qt::Key_Backspace);
}

void WindowFixture::add(const char* name, const QString& text) const {
  type_text(window->item_box(), text);
  click(name);
}

void WindowFixture::select(ListKind kind, std::initializer_list<int> rows) const {
  QListWidget* widget = list(kind);
  widget->clearSelection();
  for (const int row : rows) {
    const QPoint centre = widget->visualItemRect(widget->item(row)).center();
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::ControlModifier, centre);
  }
}

void WindowFixture::double_click(ListKind kind, int row) const {
  QListWidget* widget = list(kind);
  const QPoint centre = widget->visualItemRect(widget->item(row)).center();
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  QTest::mouseDClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

}  // namespace zenfaro::testing
