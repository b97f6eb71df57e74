#include "crypto/triple_des.h"

#include <algorithm>
#include <array>
#include <utility>

#include "container/memory_stream.h"
#include "crypto/base64.h"
#include "crypto/tdes_cipher.h"

namespace qv {
namespace {

constexpr size_t kBlock = TdesCipher::kBlockSize;
constexpr char kInvalidFormat[] = "Invalid file format";

// Makes room for count bytes at the destination's position and returns where
// they go; the caller fills them and then advances the position.
uint8_t* WriteArea(MemoryStream& destination, uint64_t count) {
    const uint64_t start = destination.position();
    if (start > MemoryStream::kMaxStreamSize || count > MemoryStream::kMaxStreamSize - start) {
        throw StreamReadError("Stream write error");
    }
    if (start + count > destination.size()) {
        destination.setSize(start + count);
    }
    return destination.data() + start;
}

// Transforms up to wanted full blocks from the source's position into the
// destination, in one pass over the buffers. Returns the number of blocks
// done, fewer when the source runs short.
uint64_t TransformBlocks(TdesCipher& cipher, MemoryStream& source, MemoryStream& destination,
                         uint64_t wanted) {
    const uint64_t blocks = std::min<uint64_t>(wanted, source.remaining() / kBlock);
    const uint64_t count = blocks * kBlock;
    if (count == 0) {
        return 0;
    }
    uint8_t* out = WriteArea(destination, count);
    cipher.run(source.data() + source.position(), out, count);
    source.setPosition(source.position() + count);
    destination.setPosition(destination.position() + count);
    return blocks;
}

// Reserves room for everything a call will write, so that the last short
// write does not move the whole buffer. Only capacity: the size, and what a
// failed call leaves behind, stay as writing makes them.
void ReserveOutput(MemoryStream& destination, uint64_t count) {
    const uint64_t start = destination.position();
    if (start <= MemoryStream::kMaxStreamSize && count <= MemoryStream::kMaxStreamSize - start) {
        destination.bytes().reserve(start + count);
    }
}

}  // namespace

void EncryptStream(MemoryStream& source, MemoryStream& destination, std::string_view passPhrase,
                   uint8_t keyForm) {
    TdesCipher cipher(DeriveKey(passPhrase, keyForm), true);
    const uint64_t total = source.size();
    const uint64_t full = total / kBlock;
    const auto rest = static_cast<uint8_t>(total % kBlock);
    ReserveOutput(destination, (full + 1) * kBlock);
    if (TransformBlocks(cipher, source, destination, full) != full || source.remaining() < rest) {
        throw CryptoError(kInvalidFormat);
    }
    std::array<uint8_t, kBlock> last{};
    source.read(last.data(), rest);
    last[kBlock - 1] = rest;
    cipher.run(last.data(), last.data(), kBlock);
    destination.write(last.data(), kBlock);
}

bool DecryptStream(MemoryStream& source, MemoryStream& destination, std::string_view passPhrase,
                   uint8_t keyForm) {
    try {
        const uint64_t blocks = source.size() / kBlock;
        if (blocks == 0) {
            return false;
        }
        TdesCipher cipher(DeriveKey(passPhrase, keyForm), false);
        ReserveOutput(destination, blocks * kBlock);
        if (TransformBlocks(cipher, source, destination, blocks - 1) != blocks - 1 ||
            source.remaining() < kBlock) {
            return false;
        }
        std::array<uint8_t, kBlock> last{};
        source.read(last.data(), kBlock);
        cipher.run(last.data(), last.data(), kBlock);
        // A count above 8 comes only from a wrong key or damaged data.
        const uint8_t count = last[kBlock - 1];
        if (count > kBlock) {
            return false;
        }
        destination.write(last.data(), count);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool DecryptStreamInPlace(MemoryStream& stream, std::string_view passPhrase, uint8_t keyForm) {
    try {
        const uint64_t blocks = stream.size() / kBlock;
        if (blocks == 0) {
            return false;
        }
        TdesCipher cipher(DeriveKey(passPhrase, keyForm), false);
        cipher.run(stream.data(), stream.data(), blocks * kBlock);
        const uint8_t count = stream.data()[blocks * kBlock - 1];
        if (count > kBlock) {
            return false;
        }
        stream.setSize((blocks - 1) * kBlock + count);
        stream.setPosition(0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::string EncryptText(std::string_view text, std::string_view passPhrase, uint8_t keyForm) {
    MemoryStream plain(text.data(), text.size());
    MemoryStream cipherText;
    EncryptStream(plain, cipherText, passPhrase, keyForm);
    return Base64Encode(cipherText.bytes());
}

std::string DecryptText(std::string_view textForm, std::string_view passPhrase, uint8_t keyForm) {
    try {
        auto decoded = Base64Decode(textForm);
        if (!decoded) {
            return {};
        }
        MemoryStream cipherText(std::move(*decoded));
        MemoryStream plain;
        if (!DecryptStream(cipherText, plain, passPhrase, keyForm)) {
            return {};
        }
        return std::string(plain.bytes().begin(), plain.bytes().end());
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace qv
