#include "container/stream_primitives.h"

#include <openssl/rand.h>

#include <array>

#include "crypto/triple_des.h"

namespace qv {
namespace {

// No sized length, block or text of the format reaches 2^31 bytes.
constexpr uint64_t kMaxSizedLength = 0x7FFFFFFF;
constexpr unsigned kMaxIntWidth = 8;
constexpr uint64_t kCipherBlock = 8;
constexpr int kCheckTextLength = 10;
constexpr int kFirstCheckCode = 48;  // "0"
constexpr int kCheckCodeCount = 74;  // "0" to "y"

unsigned HexDigits(uint64_t value) {
    unsigned digits = 1;
    while (value >>= 4) {
        ++digits;
    }
    return digits;
}

void WriteValueBytes(MemoryStream& stream, uint64_t value, unsigned width) {
    std::array<uint8_t, kMaxIntWidth> bytes{};
    for (unsigned i = 0; i < width; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
    stream.write(bytes.data(), width);
}

// Reads width bytes at the stream's position, least significant first.
uint64_t ReadValueBytes(MemoryStream& stream, unsigned width) {
    if (width > kMaxIntWidth) {
        throw StreamReadError();
    }
    std::array<uint8_t, kMaxIntWidth> bytes{};
    stream.read(bytes.data(), width);
    uint64_t value = 0;
    for (unsigned i = width; i-- > 0;) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

uint64_t ReadSizedLength(MemoryStream& stream) {
    const uint64_t count = ReadSizedInt(stream);
    if (count > kMaxSizedLength) {
        throw StreamReadError();
    }
    stream.require(count);
    return count;
}

void WriteStoredBytes(MemoryStream& output, const MemoryStream& stored) {
    WriteSizedInt(output, stored.size());
    output.write(stored.data(), stored.size());
}

// A trailing integer that ends at byte end (exclusive). Returns false for a
// width above 8; a field reaching before the stream's start is a
// StreamReadError.
struct Trailing {
    uint64_t value = 0;
    uint64_t start = 0;  // offset of its first value byte
};
bool ReadTrailingIntEndingAt(MemoryStream& stream, uint64_t end, Trailing& out) {
    if (end == 0 || end > stream.size()) {
        throw StreamReadError();
    }
    stream.setPosition(end - 1);
    const unsigned width = stream.readByte();
    if (width > kMaxIntWidth) {
        return false;
    }
    if (width > end - 1) {
        throw StreamReadError();
    }
    out.start = end - 1 - width;
    stream.setPosition(out.start);
    out.value = ReadValueBytes(stream, width);
    return true;
}

}  // namespace

void WriteSizedInt(MemoryStream& stream, uint64_t value) {
    const unsigned width = HexDigits(value);
    stream.writeByte(static_cast<uint8_t>(width));
    WriteValueBytes(stream, value, width);
}

uint64_t ReadSizedInt(MemoryStream& stream) {
    const uint64_t start = stream.position();
    const unsigned width = stream.readByte();
    if (width > kMaxIntWidth) {
        stream.setPosition(start);
        throw StreamReadError();
    }
    try {
        return ReadValueBytes(stream, width);
    } catch (const StreamReadError&) {
        stream.setPosition(start);
        throw;
    }
}

void WriteTrailingInt(MemoryStream& stream, uint64_t value) {
    const unsigned width = HexDigits(value);
    WriteValueBytes(stream, value, width);
    stream.writeByte(static_cast<uint8_t>(width));
}

uint64_t ReadTrailingInt(MemoryStream& stream) {
    Trailing field;
    if (!ReadTrailingIntEndingAt(stream, stream.size(), field) || field.value > field.start) {
        throw StreamReadError();
    }
    stream.setPosition(field.start - field.value);
    return field.value;
}

void WriteSizedText(MemoryStream& stream, std::string_view text) {
    WriteSizedInt(stream, text.size());
    stream.write(text.data(), text.size());
}

std::string ReadSizedText(MemoryStream& stream) {
    const uint64_t start = stream.position();
    try {
        const uint64_t count = ReadSizedLength(stream);
        std::string text(count, '\0');
        stream.read(text.data(), count);
        return text;
    } catch (const StreamReadError&) {
        stream.setPosition(start);
        throw;
    }
}

void WriteTrailedText(MemoryStream& stream, std::string_view text) {
    stream.write(text.data(), text.size());
    WriteTrailingInt(stream, text.size());
}

void WriteSizedList(MemoryStream& stream, const ParamList* list) {
    if (list != nullptr) {
        WriteSizedText(stream, list->text());
    }
}

std::unique_ptr<ParamList> ReadSizedList(MemoryStream& stream) {
    const uint64_t count = ReadSizedLength(stream);
    MemoryStream text;
    CopyBytes(text, stream, count);
    auto list = std::make_unique<ParamList>();
    list->setText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
    return list;
}

void CopyBytes(MemoryStream& target, MemoryStream& source, uint64_t count) {
    source.require(count);
    target.setSize(count);
    if (count != 0) {
        source.read(target.data(), count);
    }
}

void WritePlainBlock(MemoryStream& output, MemoryStream& source) {
    WriteStoredBytes(output, source);
}

void WritePackedBlock(MemoryStream& output, MemoryStream& source) {
    MemoryStream packed;
    PackStream(source, packed);
    WriteStoredBytes(output, packed);
}

void WriteCryptedBlock(MemoryStream& output, MemoryStream& source, std::string_view passPhrase,
                       uint8_t keyForm) {
    source.setPosition(0);
    MemoryStream encrypted;
    EncryptStream(source, encrypted, passPhrase, keyForm);
    WriteStoredBytes(output, encrypted);
}

void WritePackedCryptedBlock(MemoryStream& output, MemoryStream& source,
                             std::string_view passPhrase, uint8_t keyForm) {
    MemoryStream packed;
    PackStream(source, packed);
    packed.setPosition(0);
    MemoryStream encrypted;
    EncryptStream(packed, encrypted, passPhrase, keyForm);
    packed.clear();
    WriteStoredBytes(output, encrypted);
}

void WriteSection(MemoryStream& output, MemoryStream& source, bool pack, bool crypt,
                  std::string_view passPhrase, uint8_t keyForm) {
    source.setPosition(0);
    if (pack && crypt) {
        WritePackedCryptedBlock(output, source, passPhrase, keyForm);
    } else if (pack) {
        WritePackedBlock(output, source);
    } else if (crypt) {
        WriteCryptedBlock(output, source, passPhrase, keyForm);
    } else {
        WritePlainBlock(output, source);
    }
}

uint64_t ReadBlockLength(MemoryStream& input) {
    return ReadSizedLength(input);
}

std::unique_ptr<MemoryStream> DecodeStoredBlock(std::unique_ptr<MemoryStream> stored, bool pack,
                                                bool crypt, std::string_view passPhrase,
                                                uint8_t keyForm, const PumpMessagesHook& pump,
                                                uint64_t maxExpanded) {
    stored->setPosition(0);
    if (stored->size() == 0) {
        return stored;
    }
    if (crypt) {
        // Decrypted where it stands: no second buffer of the block's size. A
        // wrong pass phrase is judged by the container's own later checks;
        // a failed decryption leaves what it got through, every full block
        // before the final one.
        const uint64_t blocks = stored->size() / kCipherBlock;
        if (!DecryptStreamInPlace(*stored, passPhrase, keyForm)) {
            stored->setSize(blocks > 0 ? (blocks - 1) * kCipherBlock : 0);
        }
        stored->setPosition(0);
    }
    if (pack) {
        auto expanded = std::make_unique<MemoryStream>();
        UnpackStream(*stored, *expanded, pump, maxExpanded);
        stored = std::move(expanded);
    }
    stored->setPosition(0);
    return stored;
}

namespace {

std::unique_ptr<MemoryStream> ReadBlock(MemoryStream* input, bool pack, bool crypt,
                                        std::string_view passPhrase, uint8_t keyForm,
                                        const PumpMessagesHook& pump, uint64_t maxExpanded) {
    if (input == nullptr) {
        return nullptr;
    }
    const uint64_t count = ReadBlockLength(*input);
    auto stored = std::make_unique<MemoryStream>();
    CopyBytes(*stored, *input, count);
    return DecodeStoredBlock(std::move(stored), pack, crypt, passPhrase, keyForm, pump,
                             maxExpanded);
}

}  // namespace

std::unique_ptr<MemoryStream> ReadPlainBlock(MemoryStream* input) {
    return ReadBlock(input, false, false, {}, 0, {}, kMaxExpandedSize);
}

std::unique_ptr<MemoryStream> ReadPackedBlock(MemoryStream* input, const PumpMessagesHook& pump) {
    return ReadBlock(input, true, false, {}, 0, pump, kMaxExpandedSize);
}

std::unique_ptr<MemoryStream> ReadCryptedBlock(MemoryStream* input, std::string_view passPhrase,
                                               uint8_t keyForm) {
    return ReadBlock(input, false, true, passPhrase, keyForm, {}, kMaxExpandedSize);
}

std::unique_ptr<MemoryStream> ReadPackedCryptedBlock(MemoryStream* input,
                                                     std::string_view passPhrase, uint8_t keyForm,
                                                     const PumpMessagesHook& pump) {
    return ReadBlock(input, true, true, passPhrase, keyForm, pump, kMaxExpandedSize);
}

std::unique_ptr<MemoryStream> ReadSection(MemoryStream* input, bool pack, bool crypt,
                                          std::string_view passPhrase, uint8_t keyForm,
                                          const PumpMessagesHook& pump, uint64_t maxExpanded) {
    return ReadBlock(input, pack, crypt, passPhrase, keyForm, pump, maxExpanded);
}

namespace {

void ReadIdentificationFields(MemoryStream& stream, Identification& id) {
    Trailing size;
    if (!ReadTrailingIntEndingAt(stream, stream.size(), size)) {
        return;
    }
    id.recordedSize = size.value;
    if (size.value == 0 || size.value != stream.size()) {
        return;
    }
    Trailing length;
    if (!ReadTrailingIntEndingAt(stream, size.start, length) || length.value == 0) {
        return;
    }
    if (length.value > length.start) {
        throw StreamReadError();
    }
    id.digestStart = length.start - length.value;
    id.digest.resize(length.value);
    stream.setPosition(id.digestStart);
    stream.read(id.digest.data(), length.value);
    id.ok = true;
}

}  // namespace

Identification ReadIdentification(MemoryStream& stream) {
    const uint64_t remembered = stream.position();
    Identification id;
    try {
        ReadIdentificationFields(stream, id);
    } catch (...) {
        stream.setPosition(remembered);
        throw;
    }
    stream.setPosition(remembered);
    return id;
}

std::string MakeCheckText() {
    // Rejection sampling keeps every code equally likely: bytes of 222 and
    // above (3 * 74) are drawn again.
    constexpr int kLimit = (256 / kCheckCodeCount) * kCheckCodeCount;
    std::string text;
    while (static_cast<int>(text.size()) < kCheckTextLength) {
        std::array<unsigned char, 16> random{};
        if (RAND_bytes(random.data(), static_cast<int>(random.size())) != 1) {
            throw CryptoError("random generator failed");
        }
        for (unsigned char byte : random) {
            if (byte < kLimit && static_cast<int>(text.size()) < kCheckTextLength) {
                text += static_cast<char>(kFirstCheckCode + byte % kCheckCodeCount);
            }
        }
    }
    return text;
}

}  // namespace qv
