#pragma once

#include <QCursor>

namespace qv {

// The magnifier cursors of the preview: 32 by 32 pixels, monochrome, hot spot
// at (10, 10), the centre of the lens; plus zooms in, minus zooms out.
QCursor MagnifierCursor(bool plus);

}  // namespace qv
