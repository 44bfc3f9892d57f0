#include "platform/drm/crypto_library.h"

#include <openssl/opensslv.h>

#include <string>

#include "platform/internal/shared_library.h"

namespace platform::drm {
namespace {

void ResolveCrypto(internal::SharedLibrary& library, CryptoLibrary& crypto) {
  library.Resolve(crypto.cipherContextNew, "EVP_CIPHER_CTX_new");
  library.Resolve(crypto.cipherContextFree, "EVP_CIPHER_CTX_free");
  library.Resolve(crypto.cipherInit, "EVP_CipherInit_ex");
  library.Resolve(crypto.cipherUpdate, "EVP_CipherUpdate");
  library.Resolve(crypto.cipherFinal, "EVP_CipherFinal_ex");
  library.Resolve(crypto.aes128Cbc, "EVP_aes_128_cbc");
  library.Resolve(crypto.randomBytes, "RAND_bytes");
  library.Resolve(crypto.digest, "EVP_Digest");
  library.Resolve(crypto.sha256, "EVP_sha256");
}

}  // namespace

const CryptoLibrary* Crypto() {
  // The library of the major version the headers describe, the one the build was checked against.
  static const std::optional<CryptoLibrary> crypto = internal::LoadFunctions<CryptoLibrary>(
      ("libcrypto.so." + std::to_string(OPENSSL_VERSION_MAJOR)).c_str(), ResolveCrypto);
  return crypto ? &*crypto : nullptr;
}

std::optional<std::array<std::uint8_t, 32>> Sha256(std::span<const std::uint8_t> data) {
  const CryptoLibrary* crypto = Crypto();
  std::array<std::uint8_t, 32> digest{};
  unsigned int length = 0;
  if (crypto == nullptr ||
      crypto->digest(data.data(), data.size(), digest.data(), &length, crypto->sha256(), nullptr) != 1 ||
      length != digest.size()) {
    return std::nullopt;
  }
  return digest;
}

}  // namespace platform::drm
