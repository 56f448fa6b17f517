#include "ui/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>

#include "editor/exchange_commands.h"
#include "ui/busy_cursor.h"
#include "ui/control_ids.h"
#include "ui/dialog_frame.h"
#include "ui/entry_box.h"
#include "ui/entry_text.h"
#include "ui/expansion_tip.h"
#include "ui/find_dialog.h"
#include "ui/modify_entry_dialog.h"
#include "ui/placement.h"
#include "ui/record_navigator.h"
#include "ui/undo_keys.h"
#include "ui/widest_row.h"

namespace zenfaro {
namespace {

// Every control carries its fixed identifier in the property "controlId".
template <typename Widget>
Widget* identify(Widget* widget, ControlId id, const char* name) {
  widget->setProperty("controlId", static_cast<int>(id));
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QListWidget* make_list(QWidget* parent, bool horizontal_scroll) {
  auto* list = new QListWidget(parent);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  new WidestRowDelegate(list);
  list->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  list->setHorizontalScrollBarPolicy(horizontal_scroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  return list;
}

// The frame a window manager puts around a window, before the window has
// been shown: a generous guess, so that a window that fits with it fits.
const QMargins kFrameGuess(8, 32, 8, 8);

// Scrolls `list` sideways so that characters `from` to `from + length` of
// `item`'s text are in view (their start, when they are wider than the view).
void scroll_to_text(QListWidget* list, QListWidgetItem* item, int from, int length) {
  const QFontMetrics metrics(list->font());
  const QString text = item->text();
  const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
  const int start = margin + metrics.horizontalAdvance(text.left(from));
  const int end = margin + metrics.horizontalAdvance(text.left(from + length));
  QScrollBar* bar = list->horizontalScrollBar();
  const int width = list->viewport()->width();
  if (end + margin - bar->value() > width) bar->setValue(end + margin - width);
  if (start - margin < bar->value()) bar->setValue(start - margin);
}

}  // namespace

ExchangeActions default_exchange_actions() { return {export_command, import_command}; }

MainWindow::MainWindow(EditorModel& model, IconChooser& icons, ExchangeActions actions)
    : QDialog(nullptr), model_(model), icons_(icons), actions_(std::move(actions)) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const FittedWindow fitted = fit_window({332, 246}, {6, 18}, screen != nullptr ? screen->geometry() : QRect(),
                                         screen != nullptr ? screen->availableGeometry() : QRect(), kFrameGuess);
  set_up_dialog(*this, 332, 246, icons_.next(), &fitted.font);
  setWindowTitle(QStringLiteral("Pelmar 7 Ostrin Commentary Engine Beta 4"));
  move(fitted.position);

  build_controls();
  model_.open();
  navigator_->attach(record_box_);
  sync_record_box();
  fill_lists();
  connect_controls();
  watch_database();
}

void MainWindow::build_controls() {
  const DialogUnits du = dialog_units(font());
  // Creation order is the tab order, and each label's mnemonic moves the
  // focus to the control created right after it.
  auto label = [&](ControlId id, const char* name, const char* caption, QRect where) {
    auto* widget = identify(new QLabel(QString::fromLatin1(caption), this), id, name);
    widget->setGeometry(where);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget;
  };
  auto button = [&](ControlId id, const char* name, const char* caption, QRect where) {
    auto* widget = identify(new PushButton(QString::fromLatin1(caption), this), id, name);
    widget->setGeometry(where);
    return widget;
  };
  auto list = [&](ListKind kind, const char* name, QRect where, bool horizontal_scroll) {
    auto* widget = identify(make_list(this, horizontal_scroll), list_control(kind), name);
    // At a fractional scale the frame lines must begin on device pixels.
    widget->setGeometry(snapped_to_device_pixels(where, devicePixelRatioF()));
    lists_[static_cast<std::size_t>(kind)] = widget;
    return widget;
  };

  label(ControlId::triggers_label, "triggersLabel", "&Triggers", du.rect(3, 6, 121, 8))
      ->setBuddy(list(ListKind::triggers, "triggers", du.rect(2, 17, 162, 52), false));
  button(ControlId::delete_triggers, "deleteTriggers", "Delete", du.rect(134, 2, 30, 14));
  label(ControlId::exclusions_label, "exclusionsLabel", "&Exclusion Triggers", du.rect(168, 6, 121, 8))
      ->setBuddy(list(ListKind::exclusions, "exclusions", du.rect(168, 17, 162, 52), false));
  button(ControlId::delete_exclusions, "deleteExclusions", "Delete", du.rect(300, 2, 30, 14));
  label(ControlId::lines_label, "linesLabel", "Commentary &Lines", du.rect(2, 76, 121, 8))
      ->setBuddy(list(ListKind::lines, "lines", du.rect(2, 87, 328, 92), true));
  button(ControlId::delete_lines, "deleteLines", "Delete", du.rect(300, 71, 30, 14));
  QLabel* item_label = label(ControlId::item_label, "itemLabel", "Item To &Add:", du.rect(1, 184, 49, 8));
  item_box_ = identify(new QLineEdit(this), ControlId::item, "item");
  item_box_->setGeometry(du.rect(46, 182, 284, 12));
  refuse_overlong_edits(item_box_, model_.prompt());
  item_label->setBuddy(item_box_);
  button(ControlId::add_to_triggers, "addTriggers", "Add To T&riggers", du.rect(46, 196, 92, 14));
  button(ControlId::add_to_exclusions, "addExclusions", "Add To E&xclusion", du.rect(142, 196, 92, 14));
  button(ControlId::add_to_lines, "addLines", "Add To Co&mmentary", du.rect(238, 196, 92, 14));
  button(ControlId::import_commentary, "import", "&Import Commentary", du.rect(142, 212, 92, 14));
  button(ControlId::export_commentary, "export", "E&xport Commentary", du.rect(238, 212, 92, 14));
  button(ControlId::save_record, "saveRecord", "&Save Record", du.rect(46, 228, 92, 14));
  button(ControlId::delete_record, "deleteRecord", "&Delete Record", du.rect(142, 228, 92, 14));
  button(ControlId::quit, "quit", "&Quit", du.rect(238, 228, 92, 14));
  // The navigator and the record-number box are reached with the mouse only.
  navigator_ = identify(new RecordNavigator(this), ControlId::navigator, "navigator");
  navigator_->setGeometry(du.rect(0, 0, 8, 8));
  record_box_ = identify(new QLineEdit(QStringLiteral("1"), this), ControlId::record, "record");
  record_box_->setGeometry(du.rect(10, 210, 30, 12));
  record_box_->setFocusPolicy(Qt::ClickFocus);
}

void MainWindow::connect_controls() {
  for (ListKind kind : kAllLists) {
    QListWidget* list = list_widget(kind);
    connect(list, &QListWidget::itemDoubleClicked, this,
            [this, kind, list](QListWidgetItem* item) { modify_entry(kind, list->row(item)); });
  }
  auto on_click = [this](const char* name, auto handler) {
    connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this, handler);
  };
  on_click("deleteTriggers", [this] { delete_entries(ListKind::triggers); });
  on_click("deleteExclusions", [this] { delete_entries(ListKind::exclusions); });
  on_click("deleteLines", [this] { delete_entries(ListKind::lines); });
  on_click("addTriggers", [this] { add_entry(ListKind::triggers); });
  on_click("addExclusions", [this] { add_entry(ListKind::exclusions); });
  on_click("addLines", [this] { add_entry(ListKind::lines); });
  on_click("import", [this] { import_records(); });
  on_click("export", [this] { export_records(); });
  on_click("saveRecord", [this] { save_record(); });
  on_click("deleteRecord", [this] { delete_record(); });
  on_click("quit", [this] { quit(); });
  connect(record_box_, &QLineEdit::textChanged, this, [this](const QString& text) { record_text_changed(text); });
  connect(item_box_, &QLineEdit::textChanged, this, [this] { refresh_tip(); });
  navigator_->on_step = [this](int direction) { step(direction); };
  for (ListKind kind : kAllLists) list_widget(kind)->installEventFilter(this);
  add_shortcuts();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return QDialog::eventFilter(watched, event);
  for (ListKind kind : kAllLists) {
    QListWidget* list = list_widget(kind);
    if (watched != list) continue;
    switch (key->key()) {
      case Qt::Key_Delete: delete_entries(kind); return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_F2: modify_entry(kind, list->currentRow()); return true;
      default: break;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MainWindow::add_shortcuts() {
  auto add = [this](QKeyCombination keys, std::function<void()> action) {
    new QShortcut(QKeySequence(keys), this, std::move(action));
  };
  add(Qt::CTRL | Qt::Key_F, [this] { open_find(); });
  add(Qt::CTRL | Qt::Key_G, [this] {
    record_box_->setFocus(Qt::ShortcutFocusReason);
    record_box_->selectAll();
  });
  add(Qt::CTRL | Qt::Key_PageDown, [this] { step(+1); });
  add(Qt::CTRL | Qt::Key_PageUp, [this] { step(-1); });
  add(Qt::CTRL | Qt::Key_S, [this] { save_record(); });
  const auto refill = [this](std::optional<ListKind> changed) {
    if (changed) fill_list(*changed);
  };
  add_undo_keys(
      this, item_box_, [this, refill] { refill(model_.undo()); }, [this, refill] { refill(model_.redo()); });
}

void MainWindow::watch_database() {
  if (watcher_ == nullptr) {
    watcher_ = new QFileSystemWatcher(this);
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(100);
    const auto settle = [this] { settle_->start(); };
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, settle);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, settle);
    connect(settle_, &QTimer::timeout, this, [this] { follow_outside_change(); });
  }
  const Layout& layout = model_.layout();
  QStringList paths;
  for (const std::filesystem::path& path : {layout.database_folder(), layout.data_file(), layout.index_file()}) {
    const QString name = QString::fromStdString(path.u8string());
    if (QFileInfo::exists(name) && !watcher_->files().contains(name) && !watcher_->directories().contains(name))
      paths << name;
  }
  if (!paths.isEmpty()) watcher_->addPaths(paths);
}

void MainWindow::follow_outside_change() {
  // Not while a question or dialog of a command is open: later.
  const QWidget* modal = QApplication::activeModalWidget();
  if ((modal != nullptr && modal != this) || model_.running()) {
    settle_->start();
    return;
  }
  watch_database();
  if (!model_.follow_outside_change()) return;
  sync_record_box();
  fill_lists();
}

void MainWindow::add_entry(ListKind kind) {
  // A refused text stays in the box, as typed, for the user to correct.
  const std::optional<std::string> entry = text_to_entry(item_box_->text(), model_.prompt());
  // The next entry is typed at once: the focus goes back to the item box.
  item_box_->setFocus(Qt::OtherFocusReason);
  if (!entry || !model_.add_entry(kind, *entry)) return;
  item_box_->clear();
  fill_list(kind);
  select_entries(kind, model_.added_positions());
}

void MainWindow::delete_entries(ListKind kind) {
  std::vector<std::size_t> positions;
  for (const QModelIndex& index : list_widget(kind)->selectionModel()->selectedRows()) {
    positions.push_back(static_cast<std::size_t>(index.row()));
  }
  if (positions.empty()) return;
  model_.delete_entries(kind, std::move(positions));
  fill_list(kind);
}

void MainWindow::modify_entry(ListKind kind, int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= model_.list(kind).size()) return;
  const auto position = static_cast<std::size_t>(row);
  ModifyEntryDialog dialog(this, entry_to_text(model_.list(kind).at(position)), icons_.next(), model_.prompt(),
                           [this, kind, position](const QString& text) {
                             const std::optional<std::string> entry = text_to_entry(text, model_.prompt());
                             return entry && model_.modify_entry(kind, position, *entry);
                           });
  if (dialog.exec() != QDialog::Accepted) return;
  // The new text keeps the old entry's place, even in a sorted list; the
  // rows are measured again, as it may be the widest now.
  fill_list(kind);
  QListWidget* list = list_widget(kind);
  list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
  list->scrollToItem(list->item(row));
}

void MainWindow::open_find() {
  if (find_dialog_ == nullptr) {
    find_dialog_ = new FindDialog(this, property("iconResource").toInt(), [this](FindDirection d) { find(d); });
  }
  if (!find_dialog_->isVisible()) place_find_dialog();
  find_dialog_->present();
}

void MainWindow::place_find_dialog() {
  const QScreen* shown_on = screen();
  const QRect available = shown_on != nullptr ? shown_on->availableGeometry() : QRect();
  // The dialog's frame is as thick as this window's (or as guessed before
  // this window is shown).
  const QRect frame = frameGeometry();
  const QMargins margins = isVisible()
                               ? QMargins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                                          frame.right() - geometry().right(), frame.bottom() - geometry().bottom())
                               : kFrameGuess;
  QList<QRect> buttons;
  for (const QPushButton* button : findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) {
    buttons << QRect(mapToGlobal(button->pos()), button->size());
  }
  const QRect window = isVisible() ? frame : QRect(pos(), size().grownBy(margins));
  find_dialog_->move(place_beside(window, find_dialog_->size().grownBy(margins), available, buttons));
}

void MainWindow::find(FindDirection direction) {
  if (find_dialog_ == nullptr || find_dialog_->text().isEmpty()) return;
  const std::optional<std::string> text = text_to_entry(find_dialog_->text(), model_.prompt());
  if (!text) return;
  const FindQuery query{*text, find_dialog_->list(), find_dialog_->match_case()};
  bool went_round = false;
  const std::optional<FindHit> hit = find_in_editor(model_, query, direction, last_hit_, &went_round);
  find_dialog_->set_note(QString());
  if (!hit) {
    model_.prompt().tell({"\"" + find_dialog_->text().toStdString() + "\" was not found."});
    return;
  }
  if (hit->record != model_.current_record()) {
    // Navigation, which saves a pending edit first; a failed save keeps the
    // record on screen (and has said why).
    record_box_->setText(QString::number(hit->record));
    if (model_.current_record() != hit->record) return;
  }
  last_hit_ = hit;
  select_entry(hit->list, hit->position);
  // The match itself may lie far along a long commentary line (the trigger
  // lists do not scroll sideways).
  const std::size_t offset = TextMatcher(query).find(model_.list(hit->list).at(hit->position));
  QListWidget* list = list_widget(hit->list);
  if (offset != std::string::npos) {
    scroll_to_text(list, list->currentItem(), static_cast<int>(offset), static_cast<int>(query.text.size()));
  }
  if (went_round) {
    find_dialog_->set_note(direction == FindDirection::next
                               ? QStringLiteral("Passed the last record and went on from the first.")
                               : QStringLiteral("Passed the first record and went on from the last."));
  }
}

void MainWindow::select_entry(ListKind kind, std::size_t position) {
  for (ListKind other : kAllLists) list_widget(other)->clearSelection();
  QListWidget* list = list_widget(kind);
  QListWidgetItem* item = list->item(static_cast<int>(position));
  if (item == nullptr) return;
  list->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(item);
}

void MainWindow::select_entries(ListKind kind, const std::vector<std::size_t>& positions) {
  QListWidget* list = list_widget(kind);
  list->clearSelection();
  if (positions.empty()) return;
  // One range for each run of neighbouring positions.
  QItemSelection selection;
  for (std::size_t i = 0; i < positions.size();) {
    std::size_t last = i;
    while (last + 1 < positions.size() && positions[last + 1] == positions[last] + 1) ++last;
    selection.select(list->model()->index(static_cast<int>(positions[i]), 0),
                     list->model()->index(static_cast<int>(positions[last]), 0));
    i = last + 1;
  }
  list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  QListWidgetItem* first = list->item(static_cast<int>(positions.front()));
  list->setCurrentItem(first, QItemSelectionModel::NoUpdate);
  list->scrollToItem(first);
}

void MainWindow::delete_record() {
  const BusyCursor busy;
  model_.delete_record();
  sync_record_box();
  fill_lists();
}

void MainWindow::quit() {
  // A failed save keeps the window open, so that the record is not lost.
  const BusyCursor busy;
  if (model_.quit()) done(kEndQuit);
  sync_record_box();
}

void MainWindow::save_record() {
  const BusyCursor busy;
  model_.save_record();
  // The save may have followed the record to its new number, or stored it as a new record.
  sync_record_box();
}

void MainWindow::run_exchange(const QString& title, std::vector<ExchangeStage> stages,
                              const std::function<void()>& command) {
  const BusyCursor busy;
  ProgressDisplay progress(this, title, std::move(stages), progress_clock_);
  struct Connected {  // the model tells the display only while it lives
    EditorModel& model;
    ~Connected() { model.set_exchange_progress({}); }
  } connected{model_};
  model_.set_exchange_progress(
      [&progress](ExchangeStage stage, std::uint64_t done, std::uint64_t total) { progress.tell(stage, done, total); });
  command();
}

void MainWindow::import_records() {
  bool imported = false;
  run_exchange(QStringLiteral("Import Commentary"),
               {ExchangeStage::reading, ExchangeStage::classifying, ExchangeStage::merging, ExchangeStage::rebuilding,
                ExchangeStage::writing},
               [this, &imported] { imported = actions_.import_records(model_); });
  if (imported) done(kEndImported);
}

void MainWindow::export_records() {
  run_exchange(QStringLiteral("Export Commentary"), {ExchangeStage::writing},
               [this] { actions_.export_records(model_); });
  sync_record_box();  // the pending save may have followed the record to a new number
}

void MainWindow::record_text_changed(const QString& text) {
  if (syncing_) return;
  // Moving on saves a pending edit, which rewrites the database.
  const BusyCursor busy(model_.pending() != 0);
  model_.set_record_text(text.toStdString());
  // The model keeps the old number when it could not save a pending edit.
  sync_record_box();
  fill_lists();
}

void MainWindow::step(int direction) {
  const BusyCursor busy(model_.pending() != 0);
  model_.step(direction);
  sync_record_box();
  fill_lists();
}

void MainWindow::sync_record_box() {
  const QString text = QString::fromStdString(model_.record_text());
  if (record_box_->text() == text) return;
  syncing_ = true;
  record_box_->setText(text);
  syncing_ = false;
}

void MainWindow::fill_list(ListKind kind) {
  QStringList texts;
  for (const Entry& entry : model_.list(kind).entries()) texts.append(entry_to_text(entry));
  set_rows(list_widget(kind), texts);
  refresh_tip();  // whether a list can take the box's entries depends on what it holds
}

void MainWindow::refresh_tip() {
  const std::optional<std::string> text = text_to_entry(item_box_->text());
  show_tip(item_box_, text ? expansion_tip(preview_expansion(model_, *text)) : QString());
}

void MainWindow::fill_lists() {
  for (ListKind kind : kAllLists) fill_list(kind);
}

}  // namespace zenfaro
