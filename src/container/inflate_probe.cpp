#include "container/inflate_probe.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace qv {
namespace {

constexpr size_t kScratchSize = 256 * 1024;
constexpr uint64_t kInputPiece = 1 << 20;
constexpr auto kPumpInterval = std::chrono::milliseconds(2000);

// Keeps the last bytes of everything passed to it.
void KeepTail(std::array<uint8_t, 12>& tail, const uint8_t* data, size_t count) {
    const size_t keep = std::min(count, tail.size());
    std::memmove(tail.data(), tail.data() + keep, tail.size() - keep);
    std::memcpy(tail.data() + tail.size() - keep, data + count - keep, keep);
}

}  // namespace

InflateProbe ProbeInflate(const MemoryStream& packed, uint64_t limit,
                          const PumpMessagesHook& pump) {
    InflateProbe probe;
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) {
        return probe;
    }
    std::vector<uint8_t> scratch(kScratchSize);
    uint64_t consumed = 0;
    auto lastPump = std::chrono::steady_clock::now();
    for (;;) {
        if (z.avail_in == 0) {
            if (consumed == packed.size()) {
                break;  // ended before the final block
            }
            if (pump && std::chrono::steady_clock::now() - lastPump > kPumpInterval) {
                pump();
                lastPump = std::chrono::steady_clock::now();
            }
            z.next_in = const_cast<Bytef*>(packed.data() + consumed);
            z.avail_in = static_cast<uInt>(std::min(kInputPiece, packed.size() - consumed));
        }
        z.next_out = scratch.data();
        z.avail_out = static_cast<uInt>(scratch.size());
        const uInt inBefore = z.avail_in;
        const int rc = inflate(&z, Z_NO_FLUSH);
        consumed += inBefore - z.avail_in;
        const size_t produced = scratch.size() - z.avail_out;
        probe.size += produced;
        KeepTail(probe.tail, scratch.data(), produced);
        if (probe.size > limit) {
            break;
        }
        if (rc == Z_STREAM_END) {
            probe.complete = true;
            break;
        }
        if ((rc != Z_OK && rc != Z_BUF_ERROR) ||
            (rc == Z_BUF_ERROR && produced == 0 && z.avail_in != 0)) {
            break;
        }
    }
    inflateEnd(&z);
    return probe;
}

}  // namespace qv
