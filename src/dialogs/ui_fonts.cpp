#include "dialogs/ui_fonts.h"

#include <QStringDecoder>

#include "textutil/codepage.h"

namespace qv {

QFont PixelFont(const QString& face, int pixelSize, bool bold, bool italic) {
    QFont font(face);
    font.setStyleHint(face.contains(QLatin1String("Serif")) && !face.contains(QLatin1String("Sans"))
                          ? QFont::Serif
                          : QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QString MessageText(const std::string& text) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString result = decoder.decode(QByteArrayView(text.data(), qsizetype(text.size())));
    if (!decoder.hasError()) {
        return result;
    }
    return QString::fromStdString(Cp1250ToUtf8(text));
}

}  // namespace qv
