#pragma once

#include <QFont>
#include <QString>

namespace qv {

// A font of the given face at a character height in pixels. Faces the
// system lacks fall back through Qt's substitution to a sans-serif face of
// the same pixel height, so the designed layouts keep their proportions.
QFont PixelFont(const QString& face, int pixelSize, bool bold = false, bool italic = false);

// Qt text of a UTF-8 message, or of code-page 1250 bytes when the text is
// not valid UTF-8.
QString MessageText(const std::string& text);

}  // namespace qv
