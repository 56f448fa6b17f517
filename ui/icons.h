#pragma once
// The program's two icons, drawn in code as 32 x 32 images in a few plain
// colours: 1 is a speech bubble over a pitch (commentary), 2 a ball.
#include <QIcon>
#include <QImage>

namespace zenfaro {

// The image of icon 1 or 2 (any other number gives icon 1), `size` pixels
// square: 32 is the drawing itself, other sizes scale it.
QImage icon_image(int resource, int size = 32);
QIcon program_icon(int resource);

}  // namespace zenfaro
