#include "crypto/tdes_cipher.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <climits>

#include "container/errors.h"

namespace qv {

TdesCipher::TdesCipher(const TripleDesKey& key, bool encrypt)
    : ctx_(EVP_CIPHER_CTX_new()), encrypt_(encrypt) {
    if (ctx_ == nullptr) {
        throw CryptoError("Cipher context allocation failed");
    }
    // Three-key EDE with K3 = K1 is two-key Triple-DES; this cipher needs no
    // provider beyond the default one.
    std::array<uint8_t, 24> key3{};
    std::copy(key.begin(), key.end(), key3.begin());
    std::copy(key.begin(), key.begin() + 8, key3.begin() + 16);
    const int ok =
        EVP_CipherInit_ex(ctx_, EVP_des_ede3_ecb(), nullptr, key3.data(), nullptr, encrypt ? 1 : 0);
    if (ok != 1 || EVP_CIPHER_CTX_set_padding(ctx_, 0) != 1) {
        EVP_CIPHER_CTX_free(ctx_);
        throw CryptoError("Cipher initialisation failed");
    }
}

TdesCipher::~TdesCipher() {
    EVP_CIPHER_CTX_free(ctx_);
}

void TdesCipher::run(const uint8_t* in, uint8_t* out, size_t count) {
    if (count % kBlockSize != 0) {
        throw CryptoError("Cipher input is not whole blocks");
    }
    // The library counts in int: large buffers go in pieces of whole blocks.
    constexpr size_t kMaxPiece = (size_t{INT_MAX} / kBlockSize) * kBlockSize;
    while (count > 0) {
        const size_t piece = std::min(count, kMaxPiece);
        int written = 0;
        const int ok = encrypt_
                           ? EVP_EncryptUpdate(ctx_, out, &written, in, static_cast<int>(piece))
                           : EVP_DecryptUpdate(ctx_, out, &written, in, static_cast<int>(piece));
        if (ok != 1 || static_cast<size_t>(written) != piece) {
            throw CryptoError("Cipher failed");
        }
        in += piece;
        out += piece;
        count -= piece;
    }
}

}  // namespace qv
