#pragma once

// Bounds-checked little-endian reading of one metafile record. Every read is
// checked against the record; a read outside it throws RecordError, which the
// players treat as "skip this record".

#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>

namespace qv::gdi {

class RecordError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RecordReader {
  public:
    explicit RecordReader(std::span<const uint8_t> data) : data_(data) {}

    size_t size() const { return data_.size(); }
    bool has(size_t offset, size_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    void require(size_t offset, size_t length) const {
        if (!has(offset, length))
            throw RecordError("record too short");
    }
    // A count of elements of elementSize bytes at offset, checked to fit.
    void requireArray(size_t offset, uint64_t count, size_t elementSize) const {
        if (elementSize != 0 &&
            count > (data_.size() - std::min(offset, data_.size())) / elementSize)
            throw RecordError("array exceeds record");
        require(offset, static_cast<size_t>(count * elementSize));
    }
    uint8_t u8(size_t off) const {
        require(off, 1);
        return data_[off];
    }
    uint16_t u16(size_t off) const {
        require(off, 2);
        return static_cast<uint16_t>(data_[off] | data_[off + 1] << 8);
    }
    int16_t i16(size_t off) const { return static_cast<int16_t>(u16(off)); }
    uint32_t u32(size_t off) const {
        require(off, 4);
        return static_cast<uint32_t>(data_[off]) | static_cast<uint32_t>(data_[off + 1]) << 8 |
               static_cast<uint32_t>(data_[off + 2]) << 16 |
               static_cast<uint32_t>(data_[off + 3]) << 24;
    }
    int32_t i32(size_t off) const { return static_cast<int32_t>(u32(off)); }
    float f32(size_t off) const {
        const uint32_t bits = u32(off);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    std::span<const uint8_t> bytes(size_t off, size_t length) const {
        require(off, length);
        return data_.subspan(off, length);
    }

  private:
    std::span<const uint8_t> data_;
};

}  // namespace qv::gdi
