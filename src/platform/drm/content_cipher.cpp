#include "platform/drm/content_cipher.h"

#include <memory>

#include "platform/drm/crypto_library.h"

namespace platform::drm {
namespace {

constexpr std::size_t kBlock = 16;

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

std::optional<std::string> Run(bool encrypt, std::string_view key, std::string_view iv, std::string_view input) {
  const CryptoLibrary* crypto = Crypto();
  if (crypto == nullptr || key.size() != kKeySize || iv.size() != kBlock) return std::nullopt;
  CipherContext context(crypto->cipherContextNew(), crypto->cipherContextFree);
  if (!context) return std::nullopt;
  auto* keyBytes = reinterpret_cast<const unsigned char*>(key.data());
  auto* ivBytes = reinterpret_cast<const unsigned char*>(iv.data());
  if (crypto->cipherInit(context.get(), crypto->aes128Cbc(), nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) != 1) {
    return std::nullopt;
  }
  std::string output(input.size() + kBlock, '\0');
  int written = 0, finalWritten = 0;
  auto* out = reinterpret_cast<unsigned char*>(output.data());
  if (crypto->cipherUpdate(context.get(), out, &written, reinterpret_cast<const unsigned char*>(input.data()),
                       static_cast<int>(input.size())) != 1 ||
      crypto->cipherFinal(context.get(), out + written, &finalWritten) != 1) {
    return std::nullopt;
  }
  output.resize(static_cast<std::size_t>(written + finalWritten));
  return output;
}

}  // namespace

std::string RandomBytes(std::size_t count) {
  std::string bytes(count, '\0');
  const CryptoLibrary* crypto = Crypto();
  if (crypto == nullptr || crypto->randomBytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count)) != 1) {
    bytes.clear();
  }
  return bytes;
}

std::optional<std::string> EncryptContent(std::string_view key, std::string_view plain) {
  std::string iv = RandomBytes(kBlock);
  if (iv.size() != kBlock) return std::nullopt;
  auto cipher = Run(true, key, iv, plain);
  if (!cipher) return std::nullopt;
  return iv + *cipher;
}

std::optional<std::string> DecryptContent(std::string_view key, std::string_view ivAndCipher) {
  if (ivAndCipher.size() < 2 * kBlock || ivAndCipher.size() % kBlock != 0) return std::nullopt;
  return Run(false, key, ivAndCipher.substr(0, kBlock), ivAndCipher.substr(kBlock));
}

}  // namespace platform::drm
