#include "crypto/key_forms.h"

#include <algorithm>
#include <string>

#include "container/memory_stream.h"
#include "crypto/md5.h"
#include "textutil/text_utils.h"

namespace qv {
namespace {

constexpr std::string_view kDefaultKeyMaterial = "3C5A3C5A3C5A3C5A";
constexpr std::string_view kDefaultKey = "5820941736205817";
constexpr std::string_view kKeyFiller = "3C5A3C5A3C5A3C5AEEEEEEEEEEEEEEEE";

TripleDesKey KeyFromChars(std::string_view chars) {
    TripleDesKey key{};
    std::copy_n(chars.begin(), key.size(), key.begin());
    return key;
}

TripleDesKey KeyFromDigest(std::string_view passPhrase) {
    const Md5Digest digest = Md5(passPhrase.data(), passPhrase.size());
    TripleDesKey key{};
    std::copy(digest.begin(), digest.end(), key.begin());
    return key;
}

TripleDesKey KeyFromPrefix(std::string_view passPhrase) {
    return KeyFromChars(passPhrase.size() >= 16 ? passPhrase : kDefaultKeyMaterial);
}

// The pass phrase repeated from its start as often as needed, cut at 16.
TripleDesKey KeyFromRepetition(std::string_view passPhrase) {
    if (passPhrase.empty()) {
        return KeyFromChars(kDefaultKey);
    }
    TripleDesKey key{};
    for (size_t i = 0; i < key.size(); ++i) {
        key[i] = static_cast<uint8_t>(passPhrase[i % passPhrase.size()]);
    }
    return key;
}

// 32 hexadecimal digits, completed from the filler; 255 becomes 254.
TripleDesKey KeyFromHex(std::string_view passPhrase) {
    const std::string digits = (std::string(passPhrase) + std::string(kKeyFiller)).substr(0, 32);
    TripleDesKey key{};
    for (size_t i = 0; i < key.size(); ++i) {
        const auto value =
            static_cast<uint8_t>(HexToInt(std::string_view(digits).substr(2 * i, 2)));
        key[i] = value == 255 ? 254 : value;
    }
    return key;
}

}  // namespace

TripleDesKey DeriveKey(std::string_view passPhrase, uint8_t keyForm) {
    switch (keyForm) {
        case 0:
            return KeyFromDigest(passPhrase);
        case 1:
            return KeyFromPrefix(passPhrase);
        case 3:
            return KeyFromHex(passPhrase);
        default:
            return KeyFromRepetition(passPhrase);
    }
}

std::string BytesToHex(const uint8_t* bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * count);
    for (size_t i = 0; i < count; ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return out;
}

std::string DigestTextHex(std::string_view text) {
    const Md5Digest digest = Md5(text.data(), text.size());
    return BytesToHex(digest.data(), digest.size());
}

std::string DigestStreamHex(MemoryStream* stream) {
    if (stream == nullptr || stream->size() == 0) {
        return {};
    }
    const auto rest = stream->rest();
    const Md5Digest digest = Md5(rest.data(), rest.size());
    stream->seekToEnd();
    return BytesToHex(digest.data(), digest.size());
}

}  // namespace qv
