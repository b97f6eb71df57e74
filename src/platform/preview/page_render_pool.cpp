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
    RenderJob(PreviewPage page, QSize pageSize, QSize imagePixels, qreal dpr,
              std::shared_ptr<std::atomic<bool>> cancelled, Done done)
        : page_(std::move(page)),
          pageSize_(pageSize),
          imagePixels_(imagePixels),
          dpr_(dpr),
          cancelled_(std::move(cancelled)),
          done_(std::move(done)) {}

    void run() override {
        if (cancelled_->load()) {
            return;
        }
        done_(RenderPageImage(page_, pageSize_, imagePixels_, dpr_));
    }

  private:
    PreviewPage page_;
    QSize pageSize_;
    QSize imagePixels_;
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

void PageRenderPool::request(int index, quint64 key, const PreviewPage& page, QSize pageSize,
                             QSize imagePixels, qreal dpr) {
    if (isPending(index, key)) {
        return;
    }
    const auto old = pending_.find(index);
    if (old != pending_.end()) {
        old->second.cancelled->store(true);
    }
    auto token = std::make_shared<std::atomic<bool>>(false);
    pending_[index] = Ticket{key, token};
    QObject* receiver = receiver_;
    auto done = [this, receiver, index, key, token](QImage image) {
        // Runs on the worker; the pool outlives every job (its destructor
        // waits), and the queued call dies with the receiver.
        QMetaObject::invokeMethod(
            receiver,
            [this, index, key, token, image = std::move(image)]() mutable {
                deliver(index, token, key, std::move(image));
            },
            Qt::QueuedConnection);
    };
    pool_.start(new RenderJob(page, pageSize, imagePixels, dpr, token, std::move(done)));
}

bool PageRenderPool::isPending(int index, quint64 key) const {
    const auto it = pending_.find(index);
    return it != pending_.end() && it->second.key == key;
}

void PageRenderPool::keepOnly(const std::unordered_set<int>& wanted, quint64 key) {
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

void PageRenderPool::deliver(int index, const std::shared_ptr<std::atomic<bool>>& token,
                             quint64 key, QImage image) {
    const auto it = pending_.find(index);
    if (it == pending_.end() || it->second.cancelled != token || token->load()) {
        return;
    }
    pending_.erase(it);
    if (!image.isNull()) {
        finished_(index, key, std::move(image));
    }
}

}  // namespace qv
