#pragma once
// Dialog units: the window and the Modify Entry dialog are laid out in units
// of the dialog font, a quarter of its average character width across and an
// eighth of its character height down, so that the layout grows with the font.
#include <QFont>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

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

// Where a window of `size_units` (its client area) is placed: `origin_units`
// from the top-left corner of `screen`, its frame `frame` around it. When
// the frame would reach beyond `available` (the screen without its panels),
// as on a small screen or at a large scale, the dialog font is made smaller
// (by half points, down to 4 points) until the window fits, and the window
// moves into `available` if it must, so that every control is on the
// screen. Where the window fits, the font is dialog_font() and the place is
// the one asked for: nothing moves.
// `rect` with each of its edges (its first and last row and column of
// pixels) moved to the nearest logical coordinate at which a device pixel
// begins under the scale `device_pixel_ratio` (at 150 %: the even ones). A
// list box's frame line that begins inside a device pixel is painted over by
// the list's own view at such a scale; at a whole scale, or one that no small
// step fits, `rect` stays as it is.
QRect snapped_to_device_pixels(const QRect& rect, double device_pixel_ratio);

struct FittedWindow {
  QFont font;
  QPoint position;  // of the frame's top-left corner
};
FittedWindow fit_window(QSize size_units, QPoint origin_units, const QRect& screen, const QRect& available,
                        const QMargins& frame);

}  // namespace zenfaro
