#include "ui/widest_row.h"

#include <QFontMetrics>
#include <QHash>
#include <QListWidget>
#include <algorithm>
#include <numeric>
#include <vector>

namespace zenfaro {
namespace {

// How many of the rows that look widest are measured exactly.
constexpr std::size_t kMeasuredExactly = 16;

}  // namespace

WidestRowDelegate::WidestRowDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {
  list->setUniformItemSizes(true);
  list->setItemDelegate(this);
}

QSize WidestRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // The list asks for one row (its last) and gives every row that size: the
  // row's margins, and the widest text in place of its own.
  const QSize own = QStyledItemDelegate::sizeHint(option, index);
  const int own_text = option.fontMetrics.horizontalAdvance(index.data().toString());
  return {std::max(own.width(), own.width() - own_text + widest_), own.height()};
}

void WidestRowDelegate::measure(const QStringList& texts) {
  // Entries hold at most 256 different characters, so the sum of their
  // advances is quick to take for every row. Kerning can make a text a
  // little narrower than that sum, rarely wider: the rows that look widest
  // are measured exactly too, and the larger figure is kept.
  const QFontMetrics metrics(list_->font());
  QHash<QChar, int> advances;
  std::vector<int> estimates;
  estimates.reserve(static_cast<std::size_t>(texts.size()));
  for (const QString& text : texts) {
    int width = 0;
    for (const QChar c : text) {
      auto found = advances.constFind(c);
      if (found == advances.constEnd()) found = advances.insert(c, metrics.horizontalAdvance(c));
      width += *found;
    }
    estimates.push_back(width);
  }
  std::vector<std::size_t> order(estimates.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const std::size_t exact = std::min(kMeasuredExactly, order.size());
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(exact), order.end(),
                    [&estimates](std::size_t a, std::size_t b) { return estimates[a] > estimates[b]; });
  widest_ = 0;
  for (std::size_t i = 0; i < exact; ++i) {
    const int estimate = estimates[order[i]];
    widest_ = std::max({widest_, estimate, metrics.horizontalAdvance(texts[static_cast<qsizetype>(order[i])])});
  }
}

void set_rows(QListWidget* list, const QStringList& texts) {
  if (auto* delegate = dynamic_cast<WidestRowDelegate*>(list->itemDelegate())) delegate->measure(texts);
  list->clear();
  list->addItems(texts);
}

}  // namespace zenfaro
