#include "crypto/md5.h"

#include <openssl/evp.h>

#include "container/errors.h"

namespace qv {

Md5Digest Md5(const void* data, size_t count) {
    Md5Digest digest{};
    unsigned int length = 0;
    if (EVP_Digest(data, count, digest.data(), &length, EVP_md5(), nullptr) != 1 ||
        length != digest.size()) {
        throw CryptoError("MD5 digest failed");
    }
    return digest;
}

}  // namespace qv
