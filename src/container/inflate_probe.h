#pragma once

#include <array>
#include <cstdint>

#include "container/memory_stream.h"
#include "crypto/compression.h"

namespace qv {

// What a raw Deflate stream expands to, found without keeping the output.
struct InflateProbe {
    bool complete = false;           // the final block was reached within the limit
    uint64_t size = 0;               // bytes expanded (up to where the probe stopped)
    std::array<uint8_t, 12> tail{};  // the last 12 bytes expanded (fewer: zeros first)
};

// Expands the whole stream (from position 0) in a small scratch buffer,
// stopping once the output passes limit or the data is damaged. Lets the
// caller's hook run every 2000 ms. The stream's position is not moved.
InflateProbe ProbeInflate(const MemoryStream& packed, uint64_t limit,
                          const PumpMessagesHook& pump = {});

}  // namespace qv
