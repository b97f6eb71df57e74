#include "app/container_opener.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>

#include "container/errors.h"
#include "textutil/codepage.h"
#include "textutil/text_utils.h"

namespace qv {
namespace {

QString FromCp1250(const std::string& text) {
    return QString::fromStdString(Cp1250ToUtf8(text));
}

// The pages count of the container; an empty value is one page.
int PageCountOf(const ParamList& params) {
    const std::optional<int> count = ContainerPageCount(params);
    if (!count) {
        throw Error("'" + Cp1250ToUtf8(params.value("QVOOPCNT")) +
                    "' is not a valid integer value");
    }
    return *count;
}

int ZoomOf(const ParamList& params) {
    bool ok = false;
    const int zoom = QByteArray::fromStdString(TrimSpaces(params.value("QVOSCALE"))).toInt(&ok);
    return ok ? zoom : 0;
}

// The file name with its extension replaced by type (no type: no extension).
QString WithExtension(const QString& fileName, const QString& type) {
    const QFileInfo info(fileName);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return info.dir().filePath(base + type);
}

void ReleaseBytes(MemoryStream& stream) {
    std::vector<uint8_t>().swap(stream.bytes());
    stream.setPosition(0);
}

}  // namespace

void SaveWhole(const QString& fileName, const MemoryStream& payload) {
    QSaveFile file(fileName);
    const auto size = qint64(payload.size());
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(payload.data()), size) != size || !file.commit()) {
        throw Error(("Nelze zapsat soubor " + fileName + ": " + file.errorString()).toStdString());
    }
}

void ContainerOpener::Open(const QString& fileName) {
    ParamList params;
    std::unique_ptr<MemoryStream> payload;
    ReadContext context;
    context.prompt = &prompt_;
    context.pump = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
    try {
        payload = LoadContainerFile(QFile::encodeName(fileName).toStdString(), params, context);
    } catch (const std::exception&) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Chyba hesla"),
                        QStringLiteral("Soubor nebude zobrazen - chybné heslo"), QMessageBox::Ok,
                        window_.parent);
        box.exec();
        payload.reset();
    }
    if (!payload) {
        return;
    }
    payload->setPosition(0);
    const QString type = FromCp1250(UpperCp1250(params.value("EXT")));
    const int pageCount = PageCountOf(params);
    const std::string name = TrimSpaces(params.value("QVONAME"));
    if (name != Utf8ToCp1250("Tiskový výstup")) {
        window_.setCaption(QStringLiteral("QELVAR ONDIX (") + FromCp1250(name) +
                           QStringLiteral(")"));
    }
    const int zoom = ZoomOf(params);
    if (type != QLatin1String(".EMF")) {
        OfferExport(*payload, type, fileName);
    } else {
        ShowPages(*payload, type, pageCount);
    }
    payload.reset();
    if (zoom >= 1 && zoom <= 399) {
        window_.applyScale(zoom);
    }
}

void ContainerOpener::ShowPages(MemoryStream& payload, const QString& type, int pageCount) {
    if (pageCount < 2) {
        pages_.AddPageStream(payload, type, true);
        pages_.RebuildPages();
        return;
    }
    TQVFFileSetObject set(progress_);
    set.ReadSet(payload, false);
    // The set holds its own copy of every page and each picture takes one
    // more: drop every copy as soon as it is no longer read, so that a long
    // report is held about once in memory.
    ReleaseBytes(payload);
    if (set.EntryCount() > 0) {
        for (int i = 0; i < set.EntryCount(); ++i) {
            pages_.AddPageStream(set.EntryStream(i), type, false);
            ReleaseBytes(set.EntryStream(i));
        }
        pages_.RebuildPages();
    }
}

void ContainerOpener::OfferExport(const MemoryStream& payload, const QString& type,
                                  const QString& fileName) {
    // The line breaks are a line feed followed by a carriage return.
    const QString text = QStringLiteral("QView nepodporuje zobrazení souboru typu:") + type +
                         QStringLiteral(
                             ".\n\rUmožní Vám ho však Exportovat a uložit z QVO "
                             "souboru na disk.\n\rChcete jej exportovat ? ");
    QMessageBox question(QMessageBox::NoIcon, QStringLiteral("Export"), text,
                         QMessageBox::Yes | QMessageBox::No, window_.parent);
    question.button(QMessageBox::Yes)->setText(QStringLiteral("Ano"));
    question.button(QMessageBox::No)->setText(QStringLiteral("Ne"));
    if (question.exec() != QMessageBox::Yes) {
        return;
    }
    QFileDialog dialog(window_.parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDefaultSuffix(type.startsWith(QLatin1Char('.')) ? type.mid(1) : type);
    dialog.selectFile(WithExtension(fileName, type));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    SaveWhole(dialog.selectedFiles().constFirst(), payload);
}

}  // namespace qv
