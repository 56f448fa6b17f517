#pragma once
// The main editor window: the three lists of the record on screen, the item
// box with its "Add To" buttons, the record-number box with its navigator and
// the record and exchange buttons. It binds these widgets to an EditorModel,
// which holds the lists, the pending-edit marker and every command; the
// window only turns clicks and typing into model calls and shows the result.
//
// It ends with kEndClosed (0) by its close box, kEndQuit (1) by "&Quit" once
// the record is saved, and kEndImported (123) after a completed import.
//
// It watches the database files: when another program changes them, the
// model shows an unedited record again as it now stands (or follows it to its
// new number) and keeps an edited one for its save to ask about.
//
// Keys beyond the controls' own: Ctrl+F opens the Find dialog, Ctrl+G puts
// the focus in the record-number box with its text selected, Ctrl+Page Down
// and Ctrl+Page Up step to the next and previous record as the navigator's
// arrows do, Ctrl+S is "&Save Record", Ctrl+Z undoes a list command and
// Ctrl+Y or Ctrl+Shift+Z redoes it (ui/undo_keys.h); in a list, Delete
// deletes the selected entries (as the list's "Delete" button) and Enter or
// F2 opens Modify Entry on the entry with the caret.
//
// The window shows what a command did: the entries an "Add To" put in are
// selected and scrolled into view; long work shows the busy cursor, and an
// import or export that runs over half a second shows its progress. While
// the item box holds a group of alternatives, its tooltip tells what
// "Add To" would add (ui/expansion_tip.h). Where the window laid out in
// dialog units does not fit on the screen (a small screen, a large scale),
// its font is made smaller until it does.
#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "editor/editor_model.h"
#include "editor/find.h"
#include "editor/icon_choice.h"
#include "ui/progress_display.h"

class QFileSystemWatcher;
class QLineEdit;
class QListWidget;
class QTimer;

namespace zenfaro {

class FindDialog;
class RecordNavigator;

// What the two exchange buttons run (the export and import commands by default).
struct ExchangeActions {
  std::function<void(EditorModel&)> export_records;
  std::function<bool(EditorModel&)> import_records;
};
ExchangeActions default_exchange_actions();

class MainWindow final : public QDialog {
 public:
  // Builds the window hidden, opens the model's database and shows record 1.
  MainWindow(EditorModel& model, IconChooser& icons, ExchangeActions actions = default_exchange_actions());

  QListWidget* list_widget(ListKind kind) const { return lists_[static_cast<std::size_t>(kind)]; }
  QLineEdit* item_box() const { return item_box_; }
  QLineEdit* record_box() const { return record_box_; }
  RecordNavigator* navigator() const { return navigator_; }
  EditorModel& model() const { return model_; }
  IconChooser& icons() const { return icons_; }

  // Opens the Modify Entry dialog on the entry at `row` of `kind`'s list.
  void modify_entry(ListKind kind, int row);

  // Opens the Find dialog (Ctrl+F) beside the window; null until it was
  // opened once.
  void open_find();
  FindDialog* find_dialog() const { return find_dialog_; }
  // Find Next or Find Previous with the Find dialog's query: moves to the
  // record of the match through the record-number box, as typing its number
  // would, and selects the entry, scrolling sideways to the match in a long
  // commentary line; tells the user when nothing matches, and notes in the
  // dialog when the search went round the end.
  void find(FindDirection direction);

  // The clock of the progress display (tests give their own).
  void set_progress_clock(ProgressDisplay::Clock clock) { progress_clock_ = std::move(clock); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_controls();
  void connect_controls();
  void add_entry(ListKind kind);
  void delete_entries(ListKind kind);
  void delete_record();
  void quit();
  void import_records();
  void export_records();
  void save_record();
  // Runs an import or export command with the busy cursor and its progress.
  void run_exchange(const QString& title, std::vector<ExchangeStage> stages, const std::function<void()>& command);
  void record_text_changed(const QString& text);
  void step(int direction);
  // Writes the model's record number into the box without navigating again.
  void sync_record_box();
  void fill_list(ListKind kind);
  // The item box's tooltip for its text and the lists as they stand now.
  void refresh_tip();
  void fill_lists();
  void add_shortcuts();
  // The database folder and both files: a file replaced by a rename is
  // watched no more, so the paths are given again after every change.
  void watch_database();
  void follow_outside_change();
  // Selects only the entry at `position` of `kind`'s list and scrolls to it.
  void select_entry(ListKind kind, std::size_t position);
  // Selects only the entries at `positions` (ascending) and scrolls to the
  // first.
  void select_entries(ListKind kind, const std::vector<std::size_t>& positions);
  // Puts the Find dialog beside the window, clear of its buttons.
  void place_find_dialog();

  EditorModel& model_;
  IconChooser& icons_;
  ExchangeActions actions_;
  std::array<QListWidget*, 3> lists_{};
  QLineEdit* item_box_ = nullptr;
  QLineEdit* record_box_ = nullptr;
  RecordNavigator* navigator_ = nullptr;
  FindDialog* find_dialog_ = nullptr;
  // The last match shown, where the next search of its record goes on from.
  std::optional<FindHit> last_hit_;
  bool syncing_ = false;
  ProgressDisplay::Clock progress_clock_;
  QFileSystemWatcher* watcher_ = nullptr;
  // A change of the files comes as several events (the work files, then two
  // renames); the model looks once they have settled.
  QTimer* settle_ = nullptr;
};

}  // namespace zenfaro
