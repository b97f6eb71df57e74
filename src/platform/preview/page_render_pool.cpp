#include "platform/preview/page_render_pool.h"

#include <QMetaObject>
#include <QRunnable>

#include "platform/preview/page_render.h"

namespace qv {

namespace {

// One page rendered off the GUI thread. The picture is shared and immutable,
// so drawing it here while the GUI thread holds it too is safe.
class RenderJob : public QRunnable {
  public:
    using Done = std::function<void(QImage)>;
    RenderJob(PreviewPage page, QSize pageSize, QSize fullPixels, QRect tile, qreal dpr,
              std::shared_ptr<std::atomic<bool>> cancelled, Done done)
        : page_(std::move(page)),
          pageSize_(pageSize),
          fullPixels_(fullPixels),
          tile_(tile),
          dpr_(dpr),
          cancelled_(std::move(cancelled)),
          done_(std::move(done)) {}

    void run() override {
        if (cancelled_->load()) {
            return;
        }
        done_(RenderPageImage(page_, pageSize_, fullPixels_, tile_, dpr_));
    }

  private:
    PreviewPage page_;
    QSize pageSize_;
    QSize fullPixels_;
    QRect tile_;
    qreal dpr_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    Done done_;
};

}  // namespace

PageRenderPool::PageRenderPool(QObject* receiver, Finished finished)
    : receiver_(receiver), finished_(std::move(finished)) {}

PageRenderPool::~PageRenderPool() {
    cancelAll();
    pool_.clear();
    pool_.waitForDone();
}

void PageRenderPool::setThreadCount(int threads) {
    pool_.setMaxThreadCount(std::max(1, threads));
}

int PageRenderPool::threadCount() const {
    return pool_.maxThreadCount();
}

void PageRenderPool::request(qint64 slot, quint64 key, const PreviewPage& page, QSize pageSize,
                             QSize fullPixels, QRect tile, qreal dpr) {
    if (isPending(slot, key)) {
        return;
    }
    const auto old = pending_.find(slot);
    if (old != pending_.end()) {
        old->second.cancelled->store(true);
    }
    auto token = std::make_shared<std::atomic<bool>>(false);
    pending_[slot] = Ticket{key, token};
    QObject* receiver = receiver_;
    auto done = [this, receiver, slot, key, fullPixels, tile, token](QImage image) {
        // Runs on the worker; the pool outlives every job (its destructor
        // waits), and the queued call dies with the receiver.
        CachedImage piece{std::move(image), key, fullPixels, tile};
        QMetaObject::invokeMethod(
            receiver,
            [this, slot, token, piece = std::move(piece)]() mutable {
                deliver(slot, token, std::move(piece));
            },
            Qt::QueuedConnection);
    };
    pool_.start(new RenderJob(page, pageSize, fullPixels, tile, dpr, token, std::move(done)));
}

bool PageRenderPool::isPending(qint64 slot, quint64 key) const {
    const auto it = pending_.find(slot);
    return it != pending_.end() && it->second.key == key;
}

void PageRenderPool::keepOnly(const std::unordered_set<qint64>& wanted, quint64 key) {
    for (auto it = pending_.begin(); it != pending_.end();) {
        if (it->second.key != key || wanted.count(it->first) == 0) {
            it->second.cancelled->store(true);
            it = pending_.erase(it);
        } else {
            ++it;
        }
    }
}

void PageRenderPool::cancelAll() {
    for (auto& [index, ticket] : pending_) {
        ticket.cancelled->store(true);
    }
    pending_.clear();
}

void PageRenderPool::deliver(qint64 slot, const std::shared_ptr<std::atomic<bool>>& token,
                             CachedImage image) {
    const auto it = pending_.find(slot);
    if (it == pending_.end() || it->second.cancelled != token || token->load()) {
        return;
    }
    pending_.erase(it);
    if (!image.image.isNull()) {
        finished_(slot, std::move(image));
    }
}

}  // namespace qv
