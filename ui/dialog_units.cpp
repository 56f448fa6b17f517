#include "ui/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

namespace zenfaro {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int scale(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

}  // namespace

QFont dialog_font() {
  QFont font(QStringLiteral("MS Sans Serif"), 8);
  // Windows may hand out its TrueType successor for the old bitmap font.
  const QString family = QFontInfo(font).family();
  if (family.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
      family.compare(QStringLiteral("Microsoft Sans Serif"), Qt::CaseInsensitive) == 0) {
    return font;
  }
  font = QGuiApplication::font();
  font.setPointSize(8);
  return font;
}

int DialogUnits::x(int units) const { return scale(units, base_x, 4); }
int DialogUnits::y(int units) const { return scale(units, base_y, 8); }

QRect DialogUnits::rect(int x_units, int y_units, int width_units, int height_units) const {
  const int left = x(x_units);
  const int top = y(y_units);
  return QRect(left, top, x(x_units + width_units) - left, y(y_units + height_units) - top);
}

QRect snapped_to_device_pixels(const QRect& rect, double device_pixel_ratio) {
  int step = 1;
  while (step <= 8 && std::abs(step * device_pixel_ratio - std::round(step * device_pixel_ratio)) > 1e-6) ++step;
  if (step == 1 || step > 8) return rect;
  const auto snap = [step](int coordinate) { return static_cast<int>(std::lround(double(coordinate) / step)) * step; };
  return QRect(QPoint(snap(rect.left()), snap(rect.top())), QPoint(snap(rect.right()), snap(rect.bottom())));
}

FittedWindow fit_window(QSize size_units, QPoint origin_units, const QRect& screen, const QRect& available,
                        const QMargins& frame) {
  constexpr double kSmallestPoints = 4;
  QFont font = dialog_font();
  for (;;) {
    const DialogUnits du = dialog_units(font);
    const QPoint wanted = screen.topLeft() + du.point(origin_units.x(), origin_units.y());
    const QSize outer = QSize(du.x(size_units.width()), du.y(size_units.height())).grownBy(frame);
    if (available.isEmpty() || available.contains(QRect(wanted, outer))) return {font, wanted};
    const bool fits = outer.width() <= available.width() && outer.height() <= available.height();
    if (fits || font.pointSizeF() - 0.5 < kSmallestPoints) {
      // Moved the least into the screen; a window larger than the screen
      // keeps its top-left corner on it.
      const int x = std::max(available.left(), std::min(wanted.x(), available.right() + 1 - outer.width()));
      const int y = std::max(available.top(), std::min(wanted.y(), available.bottom() + 1 - outer.height()));
      return {font, QPoint(x, y)};
    }
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
}

DialogUnits dialog_units(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  DialogUnits units;
  units.base_x = (letters / 26 + 1) / 2;
  units.base_y = metrics.height();
  if (units.base_x < 1) units.base_x = 1;
  if (units.base_y < 1) units.base_y = 1;
  return units;
}

}  // namespace zenfaro
