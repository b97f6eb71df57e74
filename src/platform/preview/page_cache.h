#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <map>
#include <unordered_set>

namespace qv {

// Identifies one rendering of a page: the page set's generation and the size
// of the whole page image in device pixels. An image under another key is
// stale: it may stand in, stretched, until the fresh one is there.
quint64 MakeRenderKey(quint32 generation, QSize fullPixels);

// A rendered piece of a page: the whole page or one tile of it.
struct CachedImage {
    QImage image;
    quint64 key = 0;
    QSize fullSize;  // the whole page image this piece belongs to
    QRect tile;      // where the piece lies in it
};

// Rendered page pieces by slot (see page_tiles.h), bounded in bytes.
class PageImageCache {
  public:
    explicit PageImageCache(qint64 limitBytes) : limit_(limitBytes) {}

    void setLimit(qint64 bytes) { limit_ = bytes; }
    qint64 limit() const { return limit_; }
    qint64 bytes() const { return bytes_; }
    int count() const { return int(entries_.size()); }

    const CachedImage* find(qint64 slot) const;
    bool isFresh(qint64 slot, quint64 key) const;
    void insert(qint64 slot, CachedImage image);
    void clear();

    // Calls f(const CachedImage&) for every piece held for a page, stale
    // ones first.
    template <typename F>
    void forEachOfPage(int page, quint64 key, F f) const;

    // The wanted slots (pages first .. last in view, under key) stay; stale
    // pieces of other pages go at once, stale pieces of pages whose wanted
    // pieces are all fresh go too; then, while over the bound, the other
    // stale pieces and then the fresh ones farthest from the view.
    void evict(const std::unordered_set<qint64>& wanted, int first, int last, quint64 key);

  private:
    void erase(qint64 slot);
    std::map<qint64, CachedImage>::const_iterator pageBegin(int page) const;

    std::map<qint64, CachedImage> entries_;
    qint64 bytes_ = 0;
    qint64 limit_;
};

template <typename F>
void PageImageCache::forEachOfPage(int page, quint64 key, F f) const {
    const auto begin = pageBegin(page);
    const auto end = pageBegin(page + 1);
    for (int pass = 0; pass < 2; ++pass) {
        for (auto it = begin; it != end; ++it) {
            if ((it->second.key == key) == (pass == 1)) {
                f(it->second);
            }
        }
    }
}

}  // namespace qv
