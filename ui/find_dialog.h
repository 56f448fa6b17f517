#pragma once
// The Find dialog: a small modeless dialog beside the main window (Ctrl+F).
// It holds the text to find, the lists to look in, "Match &case" (off: letter
// case is ignored as the sorted lists ignore it), "Find &Next" (the default
// button, so Enter in the text finds the next match), "Find &Previous" and
// "Close", and a line for a quiet note (that the search went round the end).
// Escape closes it too. The two find buttons act only while there is a text;
// what they do, and where the dialog stands, is the owner's business.
#include <QDialog>
#include <functional>
#include <optional>

#include "core/record.h"
#include "editor/find.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zenfaro {

class FindDialog final : public QDialog {
 public:
  // `find` is called by the two find buttons.
  FindDialog(QWidget* owner, int icon_resource, std::function<void(FindDirection)> find);

  // Shows the dialog (again), active, with its text selected.
  void present();

  QString text() const;
  // The list to look in, or nothing for all three.
  std::optional<ListKind> list() const;
  bool match_case() const;
  // The note under the controls; an empty text clears it.
  void set_note(const QString& note);

  QLineEdit* text_box() const { return text_; }
  QComboBox* list_box() const { return list_; }
  QCheckBox* match_case_box() const { return match_case_; }
  QPushButton* next_button() const { return next_; }
  QPushButton* previous_button() const { return previous_; }
  QLabel* note_label() const { return note_; }

 private:
  QLineEdit* text_;
  QComboBox* list_;
  QCheckBox* match_case_;
  QPushButton* next_;
  QPushButton* previous_;
  QLabel* note_;
};

}  // namespace zenfaro
