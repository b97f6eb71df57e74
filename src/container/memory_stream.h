#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "container/errors.h"

namespace qv {

// A growable byte buffer with a size and a read/write position. Writes go to
// the position and extend the buffer; reads start at the position and advance
// it. A read that needs more bytes than remain raises StreamReadError and
// reads nothing.
class MemoryStream {
  public:
    // No stream grows beyond this; a size read from a file above it is damage.
    static constexpr uint64_t kMaxStreamSize = uint64_t{1} << 40;

    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    MemoryStream(const void* data, size_t size);

    uint64_t size() const { return bytes_.size(); }
    uint64_t position() const { return position_; }
    uint64_t remaining() const { return position_ < bytes_.size() ? bytes_.size() - position_ : 0; }

    // Positions beyond the end are allowed (as with any stream); reads there fail.
    void setPosition(uint64_t position) { position_ = position; }
    void seekToEnd() { position_ = bytes_.size(); }

    // Sets the size; new bytes are zero. The position is left as it is.
    void setSize(uint64_t size);

    // Reads exactly count bytes or throws StreamReadError without reading.
    void read(void* out, uint64_t count);
    uint8_t readByte();
    // Reads exactly count bytes into a new vector; count is checked against
    // what remains before anything is allocated.
    std::vector<uint8_t> readBytes(uint64_t count);
    // Guarantees that count bytes remain, without reading them.
    void require(uint64_t count) const;

    void write(const void* data, uint64_t count);
    void write(std::span<const uint8_t> data) { write(data.data(), data.size()); }
    void writeByte(uint8_t value) { write(&value, 1); }

    const uint8_t* data() const { return bytes_.data(); }
    uint8_t* data() { return bytes_.data(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t>& bytes() { return bytes_; }
    // The bytes from the position to the end, without copying.
    std::span<const uint8_t> rest() const;

    void clear() {
        bytes_.clear();
        position_ = 0;
    }

  private:
    std::vector<uint8_t> bytes_;
    uint64_t position_ = 0;
};

}  // namespace qv
