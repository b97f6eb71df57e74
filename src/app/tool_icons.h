#pragma once

#include <QIcon>

namespace qv {

enum class ToolGlyph {
    Exit,
    Print,
    PageWidth,
    FullPage,
    Custom,
    Pointer,
    ZoomIn,
    ZoomOut,
    First,
    Previous,
    Next,
    Last
};

// The pictures of the tool panel's buttons, drawn in code.
QIcon ToolIcon(ToolGlyph glyph, int size);

}  // namespace qv
