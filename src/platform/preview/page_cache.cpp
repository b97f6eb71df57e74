#include "platform/preview/page_cache.h"

#include <algorithm>
#include <vector>

namespace qv {

quint64 MakeRenderKey(quint32 generation, QSize imagePixels) {
    const quint64 w = quint64(std::max(0, imagePixels.width())) & 0xFFFFF;
    const quint64 h = quint64(std::max(0, imagePixels.height())) & 0xFFFFF;
    return (quint64(generation & 0xFFFFFF) << 40) | (w << 20) | h;
}

const QImage* PageImageCache::find(int index) const {
    const auto it = entries_.find(index);
    return it == entries_.end() ? nullptr : &it->second.image;
}

bool PageImageCache::isFresh(int index, quint64 key) const {
    const auto it = entries_.find(index);
    return it != entries_.end() && it->second.key == key;
}

void PageImageCache::insert(int index, QImage image, quint64 key) {
    erase(index);
    bytes_ += image.sizeInBytes();
    entries_[index] = Entry{std::move(image), key};
}

void PageImageCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

void PageImageCache::erase(int index) {
    const auto it = entries_.find(index);
    if (it != entries_.end()) {
        bytes_ -= it->second.image.sizeInBytes();
        entries_.erase(it);
    }
}

void PageImageCache::evict(int first, int last, quint64 key) {
    struct Candidate {
        int index;
        qint64 distance;
    };
    std::vector<Candidate> candidates;
    std::vector<int> staleOutside;
    for (const auto& [index, entry] : entries_) {
        const bool wanted = index >= first && index <= last;
        if (wanted) {
            continue;
        }
        if (entry.key != key) {
            staleOutside.push_back(index);
            continue;
        }
        const qint64 distance = index < first ? qint64(first) - index : qint64(index) - last;
        candidates.push_back({index, distance});
    }
    for (int index : staleOutside) {
        erase(index);
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& a, const Candidate& b) { return a.distance > b.distance; });
    for (const Candidate& c : candidates) {
        if (bytes_ <= limit_) {
            break;
        }
        erase(c.index);
    }
}

}  // namespace qv
