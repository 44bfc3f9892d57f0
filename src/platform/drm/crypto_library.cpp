#include "platform/drm/crypto_library.h"

#include <dlfcn.h>
#include <openssl/opensslv.h>

#include <string>

namespace platform::drm {
namespace {

template <typename Function>
bool Resolve(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(dlsym(library, name));
  return *function != nullptr;
}

std::optional<CryptoLibrary> Load() {
  // The library of the major version the headers describe, the one the build was checked against.
  const std::string name = "libcrypto.so." + std::to_string(OPENSSL_VERSION_MAJOR);
  void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) return std::nullopt;
  CryptoLibrary crypto{};
  bool complete = Resolve(library, "EVP_CIPHER_CTX_new", &crypto.cipherContextNew) &&
                  Resolve(library, "EVP_CIPHER_CTX_free", &crypto.cipherContextFree) &&
                  Resolve(library, "EVP_CipherInit_ex", &crypto.cipherInit) &&
                  Resolve(library, "EVP_CipherUpdate", &crypto.cipherUpdate) &&
                  Resolve(library, "EVP_CipherFinal_ex", &crypto.cipherFinal) &&
                  Resolve(library, "EVP_aes_128_cbc", &crypto.aes128Cbc) &&
                  Resolve(library, "RAND_bytes", &crypto.randomBytes) &&
                  Resolve(library, "EVP_Digest", &crypto.digest) && Resolve(library, "EVP_sha256", &crypto.sha256);
  // Kept loaded for the life of the process: the library keeps global state once used.
  if (!complete) return std::nullopt;
  return crypto;
}

}  // namespace

const CryptoLibrary* Crypto() {
  static const std::optional<CryptoLibrary> crypto = Load();
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
