#pragma once
// What the window tests share: a database of records in a fresh folder, the
// editing model over it with a scripted prompt, the real main window shown
// offscreen, and small helpers that click, type and read the real widgets.
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <vector>

#include "tests/support/faulty_env.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"
#include "ui/main_window.h"

namespace zenfaro::testing {

// Types `text` into `widget` key by key, characters beyond ASCII included.
void type_text(QWidget* widget, const QString& text);

// A record from three lists of entries.
Record make_record(std::initializer_list<const char*> triggers, std::initializer_list<const char*> exclusions,
                   std::initializer_list<const char*> lines);

// Writes `records` as the whole database of the standalone layout in `folder`.
void write_database(const fs::path& folder, const std::vector<Record>& records);

// The records stored in `folder` now, read afresh.
std::vector<Record> stored_records(const fs::path& folder);

// Record k of five: triggers "trigger k" and "Alpha k", exclusion
// "exclusion k", line "line k".
std::vector<Record> five_records();

class WindowFixture {
 public:
  explicit WindowFixture(const std::vector<Record>& records, ExchangeActions actions = default_exchange_actions());
  ~WindowFixture();

  TempFolder folder;
  FaultyEnv env;
  ScriptedPrompt prompt;
  IconChooser icons{7};
  std::unique_ptr<EditorModel> model;
  std::unique_ptr<MainWindow> window;

  QListWidget* list(ListKind kind) const { return window->list_widget(kind); }
  QPushButton* button(const char* name) const;
  // The texts a list widget shows, top to bottom.
  QStringList shown(ListKind kind) const;
  QString record_text() const;

  void click(const char* name) const;
  void step_up() const;
  void step_down() const;
  // Types `text` into the box, one key at a time, at the end of its text.
  void type_record(const QString& text) const;
  // Empties the record-number box with Backspace keys.
  void clear_record_box() const;
  // Types `text` into the item box and presses the "Add To" button `name`.
  void add(const char* name, const QString& text) const;
  // Selects exactly `rows` of `kind`'s list with Ctrl-clicks.
  void select(ListKind kind, std::initializer_list<int> rows) const;
  // Clicks and then double-clicks the entry at `row`.
  void double_click(ListKind kind, int row) const;
};

}  // namespace zenfaro::testing
