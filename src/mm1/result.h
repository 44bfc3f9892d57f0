// Errors as values: every operation of the library that can fail returns a Result or a Status, with
// a message and, for decoding, the byte offset of the input where the fault was caught.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <variant>

namespace mm1 {

struct Error {
  std::string message;
  std::size_t offset = 0;  // byte offset into the decoded input; 0 for file and argument errors
};

template <typename T>
class Result {
 public:
  Result(T value) : m_state(std::move(value)) {}  // NOLINT: implicit by design, like std::optional
  Result(Error error) : m_state(std::move(error)) {}

  bool Ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return Ok(); }
  const T& Value() const { return std::get<0>(m_state); }
  T& Value() { return std::get<0>(m_state); }
  const Error& Failure() const { return std::get<1>(m_state); }

 private:
  std::variant<T, Error> m_state;
};

// The outcome of an operation that yields nothing but success or an error.
class Status {
 public:
  Status() = default;
  Status(Error error) : m_error(std::move(error)), m_failed(true) {}  // NOLINT: implicit by design

  bool Ok() const { return !m_failed; }
  explicit operator bool() const { return Ok(); }
  const Error& Failure() const { return m_error; }

 private:
  Error m_error;
  bool m_failed = false;
};

}  // namespace mm1
