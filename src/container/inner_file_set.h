#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "container/memory_stream.h"
#include "container/param_list.h"

namespace qv {

// A named progress bar that a long loop can drive (the viewer's progress
// window implements it).
class ProgressBars {
  public:
    virtual ~ProgressBars() = default;
    using Bar = void*;
    virtual Bar AddBar() = 0;
    virtual void SetBarTitle(Bar bar, const std::string& text) = 0;
    virtual void SetBarText(Bar bar, const std::string& text) = 0;
    virtual void SetBarRange(Bar bar, int minimum, int maximum) = 0;
    virtual void SetBarPosition(Bar bar, int position) = 0;
    // Removes the bar when the reference is set, then clears the reference.
    virtual void RemoveBar(Bar& bar) = 0;
};

// The number of pages a container's parameters announce (QVOOPCNT): an empty
// value is one page; nullopt when the value is not a whole number. Two or
// more pages mean the payload is an inner file set.
std::optional<int> ContainerPageCount(const ParamList& params);

// The several page files inside one payload, located through an index (a
// parameter list) at the payload's end.
class TQVFFileSetObject {
  public:
    explicit TQVFFileSetObject(ProgressBars* progress = nullptr) : progress_(progress) {}

    void Clear();
    // Fills the set from a whole payload; throws StreamReadError when an
    // entry or the index reaches outside the payload.
    void ReadSet(MemoryStream& payload, bool showProgress);
    int EntryCount() const { return static_cast<int>(FEntries.size()); }
    // The entry's stream positioned at 0; the set keeps it. Throws
    // std::out_of_range for an index outside 0 to EntryCount() - 1.
    MemoryStream& EntryStream(int index);
    bool IsPacked() const { return FPacked; }
    const ParamList& Index() const { return FIndex; }

  private:
    std::vector<std::unique_ptr<MemoryStream>> FEntries;
    ParamList FIndex;
    bool FPacked = false;
    ProgressBars* progress_;
};

}  // namespace qv
