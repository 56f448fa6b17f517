#pragma once
// Dialog units: the window and the Modify Entry dialog are laid out in units
// of the dialog font, a quarter of its average character width across and an
// eighth of its character height down, so that the layout grows with the font.
#include <QFont>
#include <QPoint>
#include <QRect>

namespace zenfaro {

// "MS Sans Serif" at 8 points (or its TrueType successor "Microsoft Sans
// Serif"); where neither is there, the platform's default user-interface
// font at 8 points.
QFont dialog_font();

struct DialogUnits {
  int base_x = 6;   // average character width in pixels
  int base_y = 13;  // character height in pixels

  int x(int units) const;
  int y(int units) const;
  QPoint point(int x_units, int y_units) const { return {x(x_units), y(y_units)}; }
  // Maps both corners, so that adjacent rectangles stay adjacent.
  QRect rect(int x_units, int y_units, int width_units, int height_units) const;
};

// The units of `font`: the width of the 52 letters A-Z and a-z averaged and
// rounded, and the font's height.
DialogUnits dialog_units(const QFont& font);

}  // namespace zenfaro
