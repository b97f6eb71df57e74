#pragma once

#include <QString>
#include <functional>

#include "app/page_loader.h"
#include "container/container_reader.h"
#include "container/inner_file_set.h"

class QWidget;

namespace qv {

// What opening a container changes in the window besides its pages.
struct ContainerWindow {
    QWidget* parent = nullptr;                       // owner of the message boxes
    std::function<void(const QString&)> setCaption;  // the window caption
    std::function<void(int)> applyScale;             // edScale := zoom, then BtNastavClick
};

// Opens a container file: asks for its password, shows its page or pages,
// or offers to export a payload that is not a page.
class ContainerOpener {
  public:
    ContainerOpener(PageLoader& pages, PasswordPrompt& prompt, ProgressBars* progress,
                    ContainerWindow window)
        : pages_(pages), prompt_(prompt), progress_(progress), window_(std::move(window)) {}

    void Open(const QString& fileName);

  private:
    void ShowPages(MemoryStream& payload, const QString& type, int pageCount);
    void OfferExport(const MemoryStream& payload, const QString& type, const QString& fileName);

    PageLoader& pages_;
    PasswordPrompt& prompt_;
    ProgressBars* progress_;
    ContainerWindow window_;
};

// Writes bytes to fileName whole or not at all; throws Error on failure.
void SaveWhole(const QString& fileName, const MemoryStream& payload);

}  // namespace qv
