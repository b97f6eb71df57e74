#pragma once

#include <QImage>
#include <QSize>
#include <QtGlobal>
#include <unordered_map>

namespace qv {

// Identifies one rendering of a page: the page set's generation and the
// image's size in device pixels. An image under another key is stale.
quint64 MakeRenderKey(quint32 generation, QSize imagePixels);

// Rendered page images, bounded in bytes. Evicting drops stale images first,
// then the images of the pages farthest from those in view; the images that
// the view needs now stay even when they alone exceed the bound.
class PageImageCache {
  public:
    explicit PageImageCache(qint64 limitBytes) : limit_(limitBytes) {}

    void setLimit(qint64 bytes) { limit_ = bytes; }
    qint64 limit() const { return limit_; }
    qint64 bytes() const { return bytes_; }
    int count() const { return int(entries_.size()); }

    // The image held for a page, fresh or stale; null when none.
    const QImage* find(int index) const;
    bool isFresh(int index, quint64 key) const;
    void insert(int index, QImage image, quint64 key);
    void clear();

    // Pages first .. last are wanted under key: their fresh images stay and
    // their stale ones stay as stand-ins; stale images of other pages go, and
    // then the farthest fresh ones while the cache is over its bound.
    void evict(int first, int last, quint64 key);

  private:
    struct Entry {
        QImage image;
        quint64 key = 0;
    };
    void erase(int index);

    std::unordered_map<int, Entry> entries_;
    qint64 bytes_ = 0;
    qint64 limit_;
};

}  // namespace qv
