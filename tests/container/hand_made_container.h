#pragma once

#include <string>

#include "container/container_format.h"
#include "container/stream_primitives.h"
#include "crypto/compression.h"
#include "crypto/key_forms.h"
#include "crypto/triple_des.h"
#include "test_bytes.h"

namespace qv::test {

// Containers put together field by field, so that tests can damage any part.
inline Bytes SizedInt(uint64_t value) {
    MemoryStream s;
    WriteSizedInt(s, value);
    return s.bytes();
}

inline Bytes SizedText(std::string_view text) {
    return Cat({SizedInt(text.size()), B(text)});
}

inline Bytes Block(const Bytes& stored) {
    return Cat({SizedInt(stored.size()), stored});
}

inline Bytes Packed(const Bytes& plain) {
    MemoryStream in(plain);
    MemoryStream out;
    PackStream(in, out);
    return out.bytes();
}

inline Bytes Encrypted(const Bytes& plain, std::string_view key) {
    MemoryStream in(plain);
    MemoryStream out;
    EncryptStream(in, out, key, 0);
    return out.bytes();
}

inline std::string HeaderKey() {
    return HeaderKeyFor(1);
}

// Fields 1 to 5 given whole; adds the digest text (encrypted when asked) and
// the total size.
inline Bytes Seal(const Bytes& fields, bool cryptDigest) {
    std::string digest = DigestTextHex(Str(fields));
    if (cryptDigest) {
        digest = EncryptText(digest, DigestKeyFor(1), 0);
    }
    MemoryStream s(fields);
    s.seekToEnd();
    WriteTrailedText(s, digest);
    // The total size counts its own bytes: the size T with T bytes in all.
    uint64_t total = s.size() + 1;
    while (s.size() + SizedInt(total).size() != total) {
        ++total;
    }
    WriteTrailingInt(s, total);
    return s.bytes();
}

// The plain layout (flags 00000): every byte of it is visible.
struct PlainContainer {
    Bytes version = B({1, 1});
    std::string flags = "00000";
    std::string listText = "QVONAME=Test\r\nDATE=1.1.2026 9:00:00\r\nCID=...\r\n";
    Bytes headerExtra;  // after the sized list, inside the header block
    Bytes headerPlain;  // when set, the whole header plaintext instead
    std::string check = "0123456789";
    Bytes payload = B("payload bytes");

    Bytes Fields() const {
        const Bytes header =
            headerPlain.empty() ? Cat({SizedText(listText), headerExtra}) : headerPlain;
        return Cat({version, SizedText(flags), Block(header), SizedText(check),
                    Block(Cat({payload, SizedText(check)}))});
    }
    Bytes Sealed() const { return Seal(Fields(), false); }
};

}  // namespace qv::test
