#pragma once

#include <cstdint>
#include <functional>

namespace qv {

class MemoryStream;

// Called by UnpackStream before the first piece of input and then whenever
// more than 2000 ms have passed since the last call; the viewer passes one
// that lets the window process pending messages. Not called when empty.
using PumpMessagesHook = std::function<void()>;

// No block of the container format may exceed this many bytes.
inline constexpr uint64_t kMaxExpandedSize = 0x7FFFFFFF;

// Raw Deflate (RFC 1951, no header, no checksum) from the source's position
// to its end, written at the destination's position. Source and destination
// are distinct streams.
void PackStream(MemoryStream& source, MemoryStream& destination);
// Expands one raw Deflate stream from the source's position; stops after the
// final block, leaving the source just after it. Throws CryptoError on damaged
// input or when the output would exceed kMaxExpandedSize.
void UnpackStream(MemoryStream& source, MemoryStream& destination,
                  const PumpMessagesHook& pump = {});
// The same with another bound on the expanded size (for tests and callers
// that know a smaller one): throws CryptoError as soon as the output would
// pass maxExpandedSize bytes.
void UnpackStream(MemoryStream& source, MemoryStream& destination, const PumpMessagesHook& pump,
                  uint64_t maxExpandedSize);

}  // namespace qv
