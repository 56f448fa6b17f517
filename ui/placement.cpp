#include "ui/placement.h"

#include <algorithm>
#include <tuple>

namespace zenfaro {
namespace {

// `wanted` moved the least into `screen` (its top-left corner wins when it
// is larger than the screen).
QPoint inside(QPoint wanted, const QSize& size, const QRect& screen) {
  const int x = std::max(screen.left(), std::min(wanted.x(), screen.right() + 1 - size.width()));
  const int y = std::max(screen.top(), std::min(wanted.y(), screen.bottom() + 1 - size.height()));
  return {x, y};
}

long long overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

}  // namespace

QPoint place_beside(const QRect& window, const QSize& size, const QRect& screen, const QList<QRect>& keep_clear) {
  const int right = window.right() + 1;
  const int below = window.bottom() + 1;
  const int left = window.left() - size.width();
  const int above = window.top() - size.height();
  // Right, below, left, above: the first that stays clear of the window
  // once it is kept inside the screen.
  const QPoint beside[] = {{right, window.top()}, {window.left(), below}, {left, window.top()}, {window.left(), above}};
  if (screen.isEmpty()) return beside[0];
  for (const QPoint& wanted : beside) {
    const QPoint at = inside(wanted, size, screen);
    if (!QRect(at, size).intersects(window)) return at;
  }
  // Every place inside the screen, in steps of a few pixels: the one that
  // covers the least.
  constexpr int kStep = 4;
  const int last_x = std::max(screen.left(), screen.right() + 1 - size.width());
  const int last_y = std::max(screen.top(), screen.bottom() + 1 - size.height());
  QPoint best;
  std::tuple<long long, long long> least{-1, -1};
  for (int x = screen.left();; x = std::min(x + kStep, last_x)) {
    for (int y = screen.top();; y = std::min(y + kStep, last_y)) {
      const QRect at({x, y}, size);
      long long buttons = 0;
      for (const QRect& clear : keep_clear) buttons += overlap(at, clear);
      const std::tuple<long long, long long> covered{buttons, overlap(at, window)};
      if (std::get<0>(least) < 0 || covered < least) {
        least = covered;
        best = at.topLeft();
      }
      if (y == last_y) break;
    }
    if (x == last_x) break;
  }
  return best;
}

}  // namespace zenfaro
