// AES-128-CBC with RFC 2630 (PKCS#7) padding, the cipher of protected content files; the
// initialisation vector travels as the first 16 bytes of the encrypted data.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::drm {

constexpr std::size_t kKeySize = 16;

std::string RandomBytes(std::size_t count);
// Nothing when the key is not 16 bytes or the cipher fails.
std::optional<std::string> EncryptContent(std::string_view key, std::string_view plain);
// Nothing for a wrong key, bad padding or data that is not whole blocks.
std::optional<std::string> DecryptContent(std::string_view key, std::string_view ivAndCipher);

}  // namespace platform::drm
