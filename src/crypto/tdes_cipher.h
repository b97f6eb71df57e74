#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/key_forms.h"

typedef struct evp_cipher_ctx_st EVP_CIPHER_CTX;

namespace qv {

// Two-key Triple-DES (encrypt K1, decrypt K2, encrypt K1) in ECB without
// padding, over whole buffers of full 8-byte blocks. One object per
// operation; throws CryptoError when the library fails.
class TdesCipher {
  public:
    static constexpr size_t kBlockSize = 8;

    TdesCipher(const TripleDesKey& key, bool encrypt);
    ~TdesCipher();
    TdesCipher(const TdesCipher&) = delete;
    TdesCipher& operator=(const TdesCipher&) = delete;

    // Transforms count bytes (a multiple of 8) from in to out; in and out may
    // be the same buffer but must not overlap otherwise.
    void run(const uint8_t* in, uint8_t* out, size_t count);

  private:
    EVP_CIPHER_CTX* ctx_;
    bool encrypt_;
};

}  // namespace qv
