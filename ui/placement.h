#pragma once
// Where a tool window (the Find dialog) goes beside the main window, so that
// it covers nothing the user works with: right of the window, else below it,
// else left of it, else above it, each kept inside the screen. On a screen
// too small for any of these, the place inside the screen that covers the
// least of the window's buttons (`keep_clear`), and of those the least of
// the window. All rectangles are frames in screen coordinates.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace zenfaro {

QPoint place_beside(const QRect& window, const QSize& size, const QRect& screen, const QList<QRect>& keep_clear);

}  // namespace zenfaro
