#include "ui/main_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QShortcut>

#include "editor/exchange_commands.h"
#include "ui/control_ids.h"
#include "ui/dialog_frame.h"
#include "ui/entry_box.h"
#include "ui/entry_text.h"
#include "ui/find_dialog.h"
#include "ui/modify_entry_dialog.h"
#include "ui/record_navigator.h"
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

}  // namespace

ExchangeActions default_exchange_actions() { return {export_command, import_command}; }

MainWindow::MainWindow(EditorModel& model, IconChooser& icons, ExchangeActions actions)
    : QDialog(nullptr), model_(model), icons_(icons), actions_(std::move(actions)) {
  const DialogUnits du = set_up_dialog(*this, 332, 246, icons_.next());
  setWindowTitle(QStringLiteral("Pelmar 7 Ostrin Commentary Engine Beta 4"));
  const QScreen* screen = QGuiApplication::primaryScreen();
  move((screen != nullptr ? screen->geometry().topLeft() : QPoint()) + du.point(6, 18));

  build_controls();
  model_.open();
  navigator_->attach(record_box_);
  sync_record_box();
  fill_lists();
  connect_controls();
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
    widget->setGeometry(where);
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
  on_click("export", [this] { actions_.export_records(model_); });
  on_click("saveRecord", [this] { model_.save_record(); });
  on_click("deleteRecord", [this] { delete_record(); });
  on_click("quit", [this] { quit(); });
  connect(record_box_, &QLineEdit::textChanged, this, [this](const QString& text) { record_text_changed(text); });
  navigator_->on_step = [this](int direction) { step(direction); };
  add_shortcuts();
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
}

void MainWindow::add_entry(ListKind kind) {
  // A refused text stays in the box, as typed, for the user to correct.
  const std::optional<std::string> entry = text_to_entry(item_box_->text(), model_.prompt());
  // The next entry is typed at once: the focus goes back to the item box.
  item_box_->setFocus(Qt::OtherFocusReason);
  if (!entry || !model_.add_entry(kind, *entry)) return;
  item_box_->clear();
  fill_list(kind);
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
  find_dialog_->present();
}

void MainWindow::find(FindDirection direction) {
  if (find_dialog_ == nullptr || find_dialog_->text().isEmpty()) return;
  const std::optional<std::string> text = text_to_entry(find_dialog_->text(), model_.prompt());
  if (!text) return;
  const FindQuery query{*text, find_dialog_->list(), find_dialog_->match_case()};
  const std::optional<FindHit> hit = find_in_editor(model_, query, direction, last_hit_);
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
}

void MainWindow::select_entry(ListKind kind, std::size_t position) {
  for (ListKind other : kAllLists) list_widget(other)->clearSelection();
  QListWidget* list = list_widget(kind);
  QListWidgetItem* item = list->item(static_cast<int>(position));
  if (item == nullptr) return;
  list->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(item);
}

void MainWindow::delete_record() {
  model_.delete_record();
  sync_record_box();
  fill_lists();
}

void MainWindow::quit() {
  // A failed save keeps the window open, so that the record is not lost.
  if (model_.quit()) done(kEndQuit);
}

void MainWindow::import_records() {
  if (actions_.import_records(model_)) done(kEndImported);
}

void MainWindow::record_text_changed(const QString& text) {
  if (syncing_) return;
  model_.set_record_text(text.toStdString());
  // The model keeps the old number when it could not save a pending edit.
  sync_record_box();
  fill_lists();
}

void MainWindow::step(int direction) {
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
}

void MainWindow::fill_lists() {
  for (ListKind kind : kAllLists) fill_list(kind);
}

}  // namespace zenfaro
