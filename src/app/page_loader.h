#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "container/memory_stream.h"
#include "platform/gdi/picture.h"
#include "platform/preview/page_builder.h"
#include "platform/preview/preview_control.h"

class QPrinter;

namespace qv {

// The picture list behind the preview's pages, the page geometry, and the
// loading of picture files and page streams.
class PageLoader {
  public:
    // openContainer handles the ".QVO" branch of LoadFile.
    PageLoader(TPreviewControl& prev, QPrinter& printer,
               std::function<void(const QString&)> openContainer);

    // One file, the reader chosen by its extension cut to four characters.
    void LoadFile(const QString& fileName);
    // Appends one picture file to the list; the pages are not rebuilt. A
    // picture that cannot be read leaves an empty item and throws.
    void LoadPictureFile(const QString& fileName);
    // Adds the picture held in stream (type: an extension with its dot).
    void AddPageStream(const MemoryStream& stream, const QString& type, bool clear);
    // Loads every file in order, then rebuilds the pages.
    void LoadFileList(const QStringList& names);
    // One page per picture; an empty list leaves the preview as it is.
    void RebuildPages();
    // Removes all pages and all pictures.
    void Clear();
    // Applies the reference device (0 screen, 1 printer) with margins of at
    // least half an inch; rebuilds when the extension of lastOpened is one
    // of the picture formats the loader knows.
    void cbPreviewChange(int refDevice, const QString& lastOpened);

    int PictureCount() const { return int(Images.size()); }

  private:
    TPreviewControl& prev_;
    QPrinter& printer_;
    std::function<void(const QString&)> openContainer_;
    // Items without a picture could not be read: blank pages.
    PreviewGraphicItems Images;
};

// The upper-cased extension with its dot, "" when the name has none.
QString UpperExtension(const QString& fileName);

}  // namespace qv
