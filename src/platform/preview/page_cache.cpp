#include "platform/preview/page_cache.h"

#include <algorithm>
#include <vector>

#include "platform/preview/page_tiles.h"

namespace qv {

quint64 MakeRenderKey(quint32 generation, QSize fullPixels) {
    const quint64 w = quint64(std::max(0, fullPixels.width())) & 0xFFFFF;
    const quint64 h = quint64(std::max(0, fullPixels.height())) & 0xFFFFF;
    return (quint64(generation & 0xFFFFFF) << 40) | (w << 20) | h;
}

const CachedImage* PageImageCache::find(qint64 slot) const {
    const auto it = entries_.find(slot);
    return it == entries_.end() ? nullptr : &it->second;
}

bool PageImageCache::isFresh(qint64 slot, quint64 key) const {
    const auto it = entries_.find(slot);
    return it != entries_.end() && it->second.key == key;
}

void PageImageCache::insert(qint64 slot, CachedImage image) {
    erase(slot);
    bytes_ += image.image.sizeInBytes();
    entries_[slot] = std::move(image);
}

void PageImageCache::clear() {
    entries_.clear();
    bytes_ = 0;
}

void PageImageCache::erase(qint64 slot) {
    const auto it = entries_.find(slot);
    if (it != entries_.end()) {
        bytes_ -= it->second.image.sizeInBytes();
        entries_.erase(it);
    }
}

std::map<qint64, CachedImage>::const_iterator PageImageCache::pageBegin(int page) const {
    return entries_.lower_bound(SlotOf(page, 0));
}

void PageImageCache::evict(const std::unordered_set<qint64>& wanted, int first, int last,
                           quint64 key) {
    std::unordered_set<int> incomplete;  // pages still waiting for a wanted piece
    for (qint64 slot : wanted) {
        if (!isFresh(slot, key)) {
            incomplete.insert(PageOfSlot(slot));
        }
    }
    struct Candidate {
        qint64 slot;
        bool stale;
        qint64 distance;
    };
    std::vector<Candidate> candidates;
    std::vector<qint64> drop;
    for (const auto& [slot, entry] : entries_) {
        if (wanted.count(slot) != 0 && entry.key == key) {
            continue;
        }
        const int page = PageOfSlot(slot);
        const bool stale = entry.key != key;
        const bool inView = page >= first && page <= last;
        if (stale && (!inView || incomplete.count(page) == 0)) {
            drop.push_back(slot);
            continue;
        }
        const qint64 distance = page < first  ? qint64(first) - page
                                : page > last ? qint64(page) - last
                                              : 0;
        candidates.push_back({slot, stale, distance});
    }
    for (qint64 slot : drop) {
        erase(slot);
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.stale != b.stale) {
            return a.stale;
        }
        return a.distance > b.distance;
    });
    for (const Candidate& c : candidates) {
        if (bytes_ <= limit_) {
            break;
        }
        erase(c.slot);
    }
}

}  // namespace qv
