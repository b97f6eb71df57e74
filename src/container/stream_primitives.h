#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "container/memory_stream.h"
#include "container/param_list.h"
#include "crypto/compression.h"

namespace qv {

// The byte-level records every container structure is built from. Byte order
// is little-endian; texts are code page 1250 bytes; lengths count bytes.

// Sized integer: a width byte w (the number of hexadecimal digits of the
// value), then w value bytes, least significant first.
void WriteSizedInt(MemoryStream& stream, uint64_t value);
// Accepts widths 0 to 8; a wider field is damaged data (StreamReadError).
uint64_t ReadSizedInt(MemoryStream& stream);

// Trailing integer: the value bytes first, the width byte last.
void WriteTrailingInt(MemoryStream& stream, uint64_t value);
// Reads the trailing integer that ends the stream and leaves the stream
// positioned at the start of the value's bytes that precede it. A value
// reaching before the stream's start is a StreamReadError.
uint64_t ReadTrailingInt(MemoryStream& stream);

void WriteSizedText(MemoryStream& stream, std::string_view text);
std::string ReadSizedText(MemoryStream& stream);
// The text's bytes, then their count as a trailing integer.
void WriteTrailedText(MemoryStream& stream, std::string_view text);

// The list's text (every line followed by CR LF) as a sized text; a null list
// writes nothing at all.
void WriteSizedList(MemoryStream& stream, const ParamList* list);
std::unique_ptr<ParamList> ReadSizedList(MemoryStream& stream);

// Sets the target's size to count and fills it with count bytes from the
// source's position; the target's position is not moved.
void CopyBytes(MemoryStream& target, MemoryStream& source, uint64_t count);

// Blocks: a sized integer n, then n stored bytes. The variant is not recorded
// in the block; the caller says which one it is.
void WritePlainBlock(MemoryStream& output, MemoryStream& source);
void WritePackedBlock(MemoryStream& output, MemoryStream& source);
void WriteCryptedBlock(MemoryStream& output, MemoryStream& source, std::string_view passPhrase,
                       uint8_t keyForm);
void WritePackedCryptedBlock(MemoryStream& output, MemoryStream& source,
                             std::string_view passPhrase, uint8_t keyForm);

// Each reader returns a new stream positioned at 0, or null for a null input,
// and leaves the input just after the block.
std::unique_ptr<MemoryStream> ReadPlainBlock(MemoryStream* input);
std::unique_ptr<MemoryStream> ReadPackedBlock(MemoryStream* input,
                                              const PumpMessagesHook& pump = {});
std::unique_ptr<MemoryStream> ReadCryptedBlock(MemoryStream* input, std::string_view passPhrase,
                                               uint8_t keyForm);
std::unique_ptr<MemoryStream> ReadPackedCryptedBlock(MemoryStream* input,
                                                     std::string_view passPhrase, uint8_t keyForm,
                                                     const PumpMessagesHook& pump = {});

// Picks the block variant from the two flags; the source is taken whole.
void WriteSection(MemoryStream& output, MemoryStream& source, bool pack, bool crypt,
                  std::string_view passPhrase, uint8_t keyForm);
// maxExpanded bounds what a packed block may expand to (CryptoError beyond).
std::unique_ptr<MemoryStream> ReadSection(MemoryStream* input, bool pack, bool crypt,
                                          std::string_view passPhrase, uint8_t keyForm,
                                          const PumpMessagesHook& pump = {},
                                          uint64_t maxExpanded = kMaxExpandedSize);

// Reads the length of the block at the input's position and checks that the
// stored bytes are all there; leaves the input at the first stored byte.
uint64_t ReadBlockLength(MemoryStream& input);
// Decodes the stored bytes of one block, taking them over (they are released
// as soon as they are no longer needed). Returns the result positioned at 0.
std::unique_ptr<MemoryStream> DecodeStoredBlock(std::unique_ptr<MemoryStream> stored, bool pack,
                                                bool crypt, std::string_view passPhrase,
                                                uint8_t keyForm, const PumpMessagesHook& pump = {},
                                                uint64_t maxExpanded = kMaxExpandedSize);

// The tail of a container: digest text as a trailed text, then the recorded
// size as a trailing integer.
struct Identification {
    bool ok = false;
    uint64_t recordedSize = 0;
    std::string digest;
    uint64_t digestStart = 0;  // where the digest text starts: the bytes it covers
};
// ok is false for a recorded size of 0 or different from the stream's size, a
// digest length of 0, or a width above 8. A field reaching outside the stream
// raises StreamReadError. The stream's position is kept.
Identification ReadIdentification(MemoryStream& stream);

// Ten characters, each uniform over the codes 48 ("0") to 121 ("y"), drawn
// from the system's cryptographic random generator.
std::string MakeCheckText();

}  // namespace qv
