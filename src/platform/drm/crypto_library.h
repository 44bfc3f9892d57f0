// The system's cryptography library, loaded the first time something is encrypted, decrypted or
// digested: most runs never need it, and linking it would cost every process start more than a
// thousand symbol lookups.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include <openssl/evp.h>
#include <openssl/rand.h>

namespace platform::drm {

struct CryptoLibrary {
  decltype(&EVP_CIPHER_CTX_new) cipherContextNew;
  decltype(&EVP_CIPHER_CTX_free) cipherContextFree;
  decltype(&EVP_CipherInit_ex) cipherInit;
  decltype(&EVP_CipherUpdate) cipherUpdate;
  decltype(&EVP_CipherFinal_ex) cipherFinal;
  decltype(&EVP_aes_128_cbc) aes128Cbc;
  decltype(&RAND_bytes) randomBytes;
  decltype(&EVP_Digest) digest;
  decltype(&EVP_sha256) sha256;
};

// The library's functions, or nothing when it cannot be loaded (then nothing can be encrypted).
const CryptoLibrary* Crypto();

// The SHA-256 digest of `data`, or nothing without the library.
std::optional<std::array<std::uint8_t, 32>> Sha256(std::span<const std::uint8_t> data);

}  // namespace platform::drm
