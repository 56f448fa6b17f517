#pragma once
// Rows as wide as the widest one. The three lists lay out their rows with one
// uniform size, because sizing 10000 rows one by one takes far too long for
// a record to show at once; by itself that size would be the last row's, and
// longer rows would be cut. This delegate makes the uniform size as wide as
// the widest row, measured when the rows are set, so that every row shows
// whole and the horizontal scroll bar reaches the end of the longest one.
#include <QStringList>
#include <QStyledItemDelegate>

class QListWidget;

namespace zenfaro {

class WidestRowDelegate final : public QStyledItemDelegate {
 public:
  // Becomes `list`'s item delegate; `list` is given uniform item sizes.
  explicit WidestRowDelegate(QListWidget* list);

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The width of the widest of `texts` in `list`'s font, in pixels.
  void measure(const QStringList& texts);

 private:
  QListWidget* list_;
  int widest_ = 0;
};

// Replaces the rows of `list` (which has a WidestRowDelegate) with `texts`.
void set_rows(QListWidget* list, const QStringList& texts);

}  // namespace zenfaro
