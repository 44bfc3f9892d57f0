#include "source_lexer.h"

#include <cctype>

namespace resource_compiler {
namespace {

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '|' || c == '.';
}

// Reads a quoted string starting after its opening quote; returns false at an unclosed quote.
bool ReadString(const std::string& text, std::size_t& pos, std::string* out) {
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == '"') return true;
    if (c == '\n') return false;
    if (c == '\\' && pos < text.size()) {
      char e = text[pos++];
      out->push_back(e == 'n' ? '\n' : e == 't' ? '\t' : e);
      continue;
    }
    out->push_back(c);
  }
  return false;
}

bool ParseNumber(const std::string& word, std::int64_t* value) {
  std::size_t start = word[0] == '-' ? 1 : 0;
  if (start >= word.size()) return false;
  int base = 10;
  if (word.size() > start + 2 && word[start] == '0' && (word[start + 1] == 'x' || word[start + 1] == 'X')) {
    base = 16;
    start += 2;
  }
  std::int64_t result = 0;
  for (std::size_t i = start; i < word.size(); ++i) {
    int digit = std::isdigit(static_cast<unsigned char>(word[i])) ? word[i] - '0'
                : std::isxdigit(static_cast<unsigned char>(word[i])) ? std::tolower(word[i]) - 'a' + 10
                                                                      : 99;
    if (digit >= base || result > (std::int64_t{1} << 40)) return false;
    result = result * base + digit;
  }
  *value = word[0] == '-' ? -result : result;
  return true;
}

}  // namespace

std::optional<std::vector<Token>> Tokenize(const std::string& text, std::string* error) {
  std::vector<Token> tokens;
  int line = 1;
  std::size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos];
    if (c == '\n') {
      ++line;
      ++pos;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++pos;
    } else if (c == '#') {
      while (pos < text.size() && text[pos] != '\n') ++pos;
    } else if (c == '"') {
      Token token{TokenKind::kString, {}, 0, line};
      ++pos;
      if (!ReadString(text, pos, &token.text)) {
        *error = "line " + std::to_string(line) + ": unclosed string";
        return std::nullopt;
      }
      tokens.push_back(std::move(token));
    } else if (IsWordChar(c) || c == '-') {
      std::size_t start = pos++;
      while (pos < text.size() && IsWordChar(text[pos])) ++pos;
      Token token{TokenKind::kWord, text.substr(start, pos - start), 0, line};
      if (std::isdigit(static_cast<unsigned char>(token.text[0])) || token.text[0] == '-') {
        if (!ParseNumber(token.text, &token.number)) {
          *error = "line " + std::to_string(line) + ": bad number '" + token.text + "'";
          return std::nullopt;
        }
        token.kind = TokenKind::kNumber;
      }
      tokens.push_back(std::move(token));
    } else {
      *error = "line " + std::to_string(line) + ": unexpected character '" + std::string(1, c) + "'";
      return std::nullopt;
    }
  }
  return tokens;
}

}  // namespace resource_compiler
