#include "container/inner_file_set.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "container/stream_primitives.h"

namespace qv {

std::optional<int> ContainerPageCount(const ParamList& params) {
    std::string text = params.value("QVOOPCNT");
    if (text.empty()) {
        return 1;
    }
    // Leading blanks and a plus sign are accepted, as by the usual integer conversion.
    size_t start = text.find_first_not_of(' ');
    if (start != std::string::npos && text[start] == '+') {
        ++start;
    }
    if (start == std::string::npos || start == text.size()) {
        return std::nullopt;
    }
    int count = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, count);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return count;
}
namespace {

// A decimal integer value of the index; missing or not a number counts as 0.
int64_t IndexNumber(const ParamList& index, const std::string& name) {
    const std::string text = index.value(name);
    int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) {
        return 0;
    }
    return value;
}

// Removes the progress bar on every path, failures included.
class BarGuard {
  public:
    BarGuard(ProgressBars* bars, int count) : bars_(bars) {
        if (bars_ == nullptr) {
            return;
        }
        bar_ = bars_->AddBar();
        bars_->SetBarTitle(bar_, "Načítání dat");
        bars_->SetBarText(bar_, "Načteno");
        bars_->SetBarRange(bar_, 0, count - 1);
    }
    ~BarGuard() {
        if (bars_ != nullptr) {
            bars_->RemoveBar(bar_);
        }
    }
    BarGuard(const BarGuard&) = delete;
    BarGuard& operator=(const BarGuard&) = delete;

    void SetPosition(int position) {
        if (bars_ != nullptr) {
            bars_->SetBarPosition(bar_, position);
        }
    }

  private:
    ProgressBars* bars_;
    ProgressBars::Bar bar_ = nullptr;
};

}  // namespace

void TQVFFileSetObject::Clear() {
    FEntries.clear();
    FIndex.clear();
}

MemoryStream& TQVFFileSetObject::EntryStream(int index) {
    MemoryStream& entry = *FEntries.at(static_cast<size_t>(index));
    entry.setPosition(0);
    return entry;
}

void TQVFFileSetObject::ReadSet(MemoryStream& payload, bool showProgress) {
    if (payload.size() == 0) {
        return;
    }
    if (!FEntries.empty()) {
        Clear();
    }
    const uint64_t indexLength = ReadTrailingInt(payload);
    if (indexLength == 0) {
        return;
    }
    MemoryStream indexText;
    CopyBytes(indexText, payload, indexLength);
    FIndex.setText(
        std::string_view(reinterpret_cast<const char*>(indexText.data()), indexText.size()));
    if (FIndex.empty()) {
        return;
    }
    const int64_t count = IndexNumber(FIndex, "Last");
    FPacked = FIndex.value("Packed") == "A";
    if (count <= 0) {
        return;
    }
    // A count above the payload's size in bytes can only come from a damaged
    // index; capping it keeps a hostile count from making billions of
    // entries.
    const int64_t entries = std::min<int64_t>(count, static_cast<int64_t>(payload.size()));
    BarGuard bar(showProgress ? progress_ : nullptr, static_cast<int>(entries));
    for (int64_t i = 0; i < entries; ++i) {
        const int64_t offset = IndexNumber(FIndex, "MP" + std::to_string(i));
        const int64_t size = IndexNumber(FIndex, "MS" + std::to_string(i));
        if (offset < 0) {
            throw StreamReadError();
        }
        payload.setPosition(static_cast<uint64_t>(offset));
        auto entry = std::make_unique<MemoryStream>();
        bar.SetPosition(static_cast<int>(i));
        if (size > 0) {
            CopyBytes(*entry, payload, static_cast<uint64_t>(size));
            entry->setPosition(0);
        }
        FEntries.push_back(std::move(entry));
    }
}

}  // namespace qv
