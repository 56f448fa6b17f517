#pragma once
// A question that carries details (the import's confirmation): its text
// with the icon, "Show Details...", "&Yes" and "&No". The details open below
// the text in a read-only view that scrolls, and the box can then be resized
// (with the view) to read thousands of lines. Like every message box it has
// no owner window; Escape and the close box answer No.
#include <QDialog>

#include "core/prompt.h"

class QPlainTextEdit;
class QPushButton;

namespace zenfaro {

class DetailsQuestion final : public QDialog {
 public:
  explicit DetailsQuestion(const Question& question);

  QPlainTextEdit* details_view() const { return details_; }
  QPushButton* details_button() const { return details_button_; }
  QPushButton* yes_button() const { return yes_; }
  QPushButton* no_button() const { return no_; }

 private:
  void toggle_details();

  QPlainTextEdit* details_;
  QPushButton* details_button_;
  QPushButton* yes_;
  QPushButton* no_;
};

}  // namespace zenfaro
