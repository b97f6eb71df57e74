#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "platform/preview/page_cache.h"
#include "platform/preview/preview_control.h"

namespace qv {

// Renders page images on worker threads. Finished images are handed to the
// callback on the receiver's thread; a request that was cancelled or replaced
// before it finished is dropped without a call.
class PageRenderPool {
  public:
    using Finished = std::function<void(qint64 slot, CachedImage image)>;

    PageRenderPool(QObject* receiver, Finished finished);
    ~PageRenderPool();  // cancels everything and waits for the workers

    void setThreadCount(int threads);
    int threadCount() const;

    // Asks for the piece tile of a page rendered as part of a whole page image
    // of fullPixels, under key, unless that is under way already.
    void request(qint64 slot, quint64 key, const PreviewPage& page, QSize pageSize,
                 QSize fullPixels, QRect tile, qreal dpr);
    bool isPending(qint64 slot, quint64 key) const;
    // Cancels every request but those for the wanted slots under key.
    void keepOnly(const std::unordered_set<qint64>& wanted, quint64 key);
    void cancelAll();
    int pendingCount() const { return int(pending_.size()); }

  private:
    struct Ticket {
        quint64 key = 0;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    void deliver(qint64 slot, const std::shared_ptr<std::atomic<bool>>& token, CachedImage image);

    QObject* receiver_;
    Finished finished_;
    QThreadPool pool_;
    std::unordered_map<qint64, Ticket> pending_;
};

}  // namespace qv
