#include "ui/entry_box.h"

#include <QLineEdit>
#include <QValidator>
#include <limits>

#include "core/record.h"
#include "ui/entry_text.h"

namespace zenfaro {
namespace {

// The box undoes an edit that this validator finds invalid, and then emits
// inputRejected. An edit is invalid when it makes the text longer than an
// entry and longer than it was; `length_` follows every accepted change.
class LengthGuard final : public QValidator {
 public:
  LengthGuard(QLineEdit* box, Prompt& prompt) : QValidator(box), prompt_(prompt), length_(box->text().size()) {
    connect(box, &QLineEdit::textChanged, this, [this](const QString& text) { length_ = text.size(); });
    connect(box, &QLineEdit::inputRejected, this, [this] { report_later(); });
  }

  State validate(QString& input, int&) const override {
    return input.size() > kMaxEntryCharacters && input.size() > length_ ? Invalid : Acceptable;
  }

 private:
  // inputRejected comes before the box has undone the edit: the message
  // waits until the event that made the edit is handled.
  void report_later() {
    if (report_pending_) return;
    report_pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          report_pending_ = false;
          prompt_.tell({kEntryTooLong, kDefaultCaption, Icon::error});
        },
        Qt::QueuedConnection);
  }

  Prompt& prompt_;
  qsizetype length_;
  bool report_pending_ = false;
};

}  // namespace

void refuse_overlong_edits(QLineEdit* box, Prompt& prompt) {
  // No length limit of the box's own: it would cut a paste silently.
  box->setMaxLength(std::numeric_limits<int>::max());
  box->setValidator(new LengthGuard(box, prompt));
}

}  // namespace zenfaro
