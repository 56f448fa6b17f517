#include "ui/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>

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
