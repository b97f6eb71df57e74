#include "container/memory_stream.h"

#include <cstring>

namespace qv {

MemoryStream::MemoryStream(const void* data, size_t size)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size) {}

void MemoryStream::setSize(uint64_t size) {
    if (size > kMaxStreamSize) {
        throw StreamReadError();
    }
    bytes_.resize(size);
}

void MemoryStream::require(uint64_t count) const {
    if (count > remaining()) {
        throw StreamReadError();
    }
}

void MemoryStream::read(void* out, uint64_t count) {
    require(count);
    if (count != 0) {
        std::memcpy(out, bytes_.data() + position_, count);
    }
    position_ += count;
}

uint8_t MemoryStream::readByte() {
    uint8_t value;
    read(&value, 1);
    return value;
}

std::vector<uint8_t> MemoryStream::readBytes(uint64_t count) {
    require(count);
    std::vector<uint8_t> out(bytes_.begin() + position_, bytes_.begin() + position_ + count);
    position_ += count;
    return out;
}

void MemoryStream::write(const void* data, uint64_t count) {
    if (count == 0) {
        return;
    }
    if (position_ > kMaxStreamSize || count > kMaxStreamSize - position_) {
        throw StreamReadError("Stream write error");
    }
    const uint64_t end = position_ + count;
    if (end > bytes_.size()) {
        bytes_.resize(end);
    }
    std::memcpy(bytes_.data() + position_, data, count);
    position_ = end;
}

std::span<const uint8_t> MemoryStream::rest() const {
    if (position_ >= bytes_.size()) {
        return {};
    }
    return {bytes_.data() + position_, bytes_.size() - position_};
}

}  // namespace qv
