// Splits a resource source text into words, numbers and quoted strings, remembering the line of
// each token so that an error names where it was found.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace resource_compiler {

enum class TokenKind { kWord, kNumber, kString };

struct Token {
  TokenKind kind;
  std::string text;       // words and strings (UTF-8, escapes resolved)
  std::int64_t number = 0;
  int line = 0;
};

// Reads the whole text. "#" starts a comment up to the end of the line; numbers are decimal or
// 0x-hexadecimal, optionally negative; strings use \" \\ \n \t escapes. Errors name the line.
std::optional<std::vector<Token>> Tokenize(const std::string& text, std::string* error);

}  // namespace resource_compiler
