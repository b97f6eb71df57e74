#include "crypto/compression.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <new>
#include <vector>

#include "container/memory_stream.h"

namespace qv {
namespace {

constexpr int kRawDeflateWindowBits = -15;  // 32 KiB window, no header or trailer
constexpr int kPackLevel = 6;
constexpr uint64_t kInputPiece = 256 * 1024;
constexpr uint64_t kMaxZlibCount = UINT_MAX;
constexpr auto kPumpInterval = std::chrono::milliseconds(2000);

// The output of one call written straight into the destination's buffer from
// its position on. Capacity is reserved ahead (address space only, the pages
// are not touched) and the size grows in steps inside it, so each byte is
// zero-filled once just before zlib writes it and rarely moved. commit()
// cuts the buffer back to what was written (never below the size it had) and
// moves the position.
class OutputArea {
  public:
    // maxArea bounds the bytes this call may write; capacityGuess is the
    // capacity to reserve when the buffer first needs more room.
    OutputArea(MemoryStream& destination, uint64_t maxArea, uint64_t capacityGuess)
        : destination_(destination),
          start_(destination.position()),
          originalSize_(destination.size()),
          maxArea_(std::min(maxArea, MemoryStream::kMaxStreamSize -
                                         std::min(start_, MemoryStream::kMaxStreamSize))),
          capacityGuess_(capacityGuess) {}

    uint64_t written() const { return written_; }
    uint64_t free() const { return area() - written_; }
    uint8_t* next() { return destination_.data() + start_ + written_; }
    void advance(uint64_t count) { written_ += count; }

    // Makes room for more output, within maxArea.
    void extend() {
        const uint64_t current = area();
        if (current >= maxArea_) {
            throw CryptoError("Output too large");
        }
        const uint64_t wanted = std::min(maxArea_, current + std::max(kMinStep, current / 8));
        std::vector<uint8_t>& bytes = destination_.bytes();
        if (start_ + wanted > bytes.capacity()) {
            const uint64_t capacityArea = bytes.capacity() > start_ ? bytes.capacity() - start_ : 0;
            uint64_t target = std::max({wanted, capacityGuess_, capacityArea * 2});
            // Past half the bound, go to the bound at once: the old and the
            // new buffer together then never hold much more than the bound.
            if (target > maxArea_ / 2) {
                target = maxArea_;
            }
            try {
                bytes.reserve(start_ + target);
            } catch (const std::bad_alloc&) {
                // Address space is short (strict overcommit): only what is needed.
                bytes.reserve(start_ + wanted);
            }
        }
        destination_.setSize(start_ + wanted);
    }

    void commit() {
        destination_.setSize(std::max(originalSize_, start_ + written_));
        destination_.setPosition(start_ + written_);
    }

  private:
    static constexpr uint64_t kMinStep = 256 * 1024;

    uint64_t area() const {
        return destination_.size() > start_ ? destination_.size() - start_ : 0;
    }

    MemoryStream& destination_;
    uint64_t start_;
    uint64_t originalSize_;
    uint64_t maxArea_;
    uint64_t capacityGuess_;
    uint64_t written_ = 0;
};

// Owns a zlib stream for one operation.
class ZStream {
  public:
    explicit ZStream(bool deflating) : deflating_(deflating) {
        const int rc = deflating ? deflateInit2(&z_, kPackLevel, Z_DEFLATED, kRawDeflateWindowBits,
                                                8, Z_DEFAULT_STRATEGY)
                                 : inflateInit2(&z_, kRawDeflateWindowBits);
        if (rc != Z_OK) {
            throw CryptoError("Compression initialisation failed");
        }
    }
    ~ZStream() { deflating_ ? deflateEnd(&z_) : inflateEnd(&z_); }
    ZStream(const ZStream&) = delete;
    ZStream& operator=(const ZStream&) = delete;

    z_stream* operator->() { return &z_; }
    z_stream* get() { return &z_; }

    // Points the output at the free part of the area (at most what zlib counts).
    void setOutput(OutputArea& out) {
        z_.next_out = out.next();
        z_.avail_out = static_cast<uInt>(std::min(out.free(), kMaxZlibCount));
    }

  private:
    z_stream z_{};
    bool deflating_;
};

void Expand(MemoryStream& source, OutputArea& out, const PumpMessagesHook& pump, uint64_t limit) {
    ZStream z(false);
    const uint64_t inStart = source.position();
    const uint64_t inTotal = source.remaining();
    uint64_t consumed = 0;
    bool pumped = false;
    auto lastPump = std::chrono::steady_clock::now();
    for (;;) {
        if (z->avail_in == 0) {
            if (consumed == inTotal) {
                throw CryptoError("Unexpected end of compressed data");
            }
            if (pump && (!pumped || std::chrono::steady_clock::now() - lastPump > kPumpInterval)) {
                pump();
                pumped = true;
                lastPump = std::chrono::steady_clock::now();
            }
            z->next_in = const_cast<Bytef*>(source.data() + inStart + consumed);
            z->avail_in = static_cast<uInt>(std::min(kInputPiece, inTotal - consumed));
        }
        if (out.free() == 0) {
            out.extend();
        }
        z.setOutput(out);
        const uInt inBefore = z->avail_in;
        const uInt outBefore = z->avail_out;
        const int rc = inflate(z.get(), Z_NO_FLUSH);
        consumed += inBefore - z->avail_in;
        out.advance(outBefore - z->avail_out);
        // The source stands after what zlib has taken, on errors too.
        source.setPosition(inStart + consumed);
        if (out.written() > limit) {
            throw CryptoError("Expanded data too large");
        }
        if (rc == Z_STREAM_END) {
            return;
        }
        const bool stalled = rc == Z_BUF_ERROR && z->avail_in != 0 && z->avail_out != 0;
        if ((rc != Z_OK && rc != Z_BUF_ERROR) || stalled) {
            throw CryptoError(z->msg != nullptr ? z->msg : "Damaged compressed data");
        }
    }
}

}  // namespace

void PackStream(MemoryStream& source, MemoryStream& destination) {
    ZStream z(true);
    const uint64_t inStart = source.position();
    const uint64_t inTotal = source.remaining();
    OutputArea out(destination, MemoryStream::kMaxStreamSize, inTotal / 4);
    uint64_t consumed = 0;
    try {
        for (;;) {
            if (z->avail_in == 0 && consumed < inTotal) {
                z->next_in = const_cast<Bytef*>(source.data() + inStart + consumed);
                z->avail_in = static_cast<uInt>(std::min(inTotal - consumed, kMaxZlibCount));
            }
            if (out.free() == 0) {
                out.extend();
            }
            z.setOutput(out);
            const uInt inBefore = z->avail_in;
            const uInt outBefore = z->avail_out;
            const bool last = consumed + z->avail_in == inTotal;
            const int rc = deflate(z.get(), last ? Z_FINISH : Z_NO_FLUSH);
            consumed += inBefore - z->avail_in;
            out.advance(outBefore - z->avail_out);
            if (rc == Z_STREAM_END) {
                break;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                throw CryptoError("Compression failed");
            }
        }
    } catch (...) {
        out.commit();
        throw;
    }
    out.commit();
    source.setPosition(inStart + consumed);
}

void UnpackStream(MemoryStream& source, MemoryStream& destination, const PumpMessagesHook& pump) {
    UnpackStream(source, destination, pump, kMaxExpandedSize);
}

void UnpackStream(MemoryStream& source, MemoryStream& destination, const PumpMessagesHook& pump,
                  uint64_t maxExpandedSize) {
    // One byte past the bound shows that the output would pass it. Most
    // payloads expand less than 64 times, so the first reservation seldom
    // needs to move.
    const uint64_t maxArea = std::min(maxExpandedSize, MemoryStream::kMaxStreamSize) + 1;
    const uint64_t guess = std::min(maxArea, std::max<uint64_t>(source.remaining(), 4096) * 64);
    OutputArea out(destination, maxArea, guess);
    try {
        Expand(source, out, pump, maxExpandedSize);
    } catch (...) {
        out.commit();
        throw;
    }
    out.commit();
}

}  // namespace qv
