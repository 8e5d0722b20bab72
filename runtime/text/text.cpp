#include "runtime/text.h"

#include <cstring>
#include <new>
#include <utility>

namespace runtime {
namespace {
char* CopyBytes(const char* bytes, std::size_t length) {
  char* copy = new char[length + 1];
  std::memcpy(copy, bytes, length);
  copy[length] = '\0';
  return copy;
}
}  // namespace

Text::Text(const char* bytes) : bytes_(bytes ? CopyBytes(bytes, std::strlen(bytes)) : nullptr) {}
Text::Text(const char* bytes, std::size_t length) : bytes_(CopyBytes(bytes ? bytes : "", bytes ? length : 0)) {}
Text::Text(const Text& other) : Text(other.bytes_) {}
Text::Text(Text&& other) noexcept : bytes_(std::exchange(other.bytes_, nullptr)) {}
Text& Text::operator=(const Text& other) {
  if (this != &other) *this = Text(other);
  return *this;
}
Text& Text::operator=(Text&& other) noexcept {
  if (this != &other) {
    Release();
    bytes_ = std::exchange(other.bytes_, nullptr);
  }
  return *this;
}
Text::~Text() { Release(); }

std::size_t Text::length() const { return bytes_ ? std::strlen(bytes_) : 0; }

void Text::Release() {
  delete[] bytes_;
  bytes_ = nullptr;
}

Text Join(const Text& head, const char* tail) {
  const std::size_t head_length = head.length();
  const std::size_t tail_length = tail ? std::strlen(tail) : 0;
  Text joined;
  char* bytes = new char[head_length + tail_length + 1];
  std::memcpy(bytes, head.c_str(), head_length);
  std::memcpy(bytes + head_length, tail ? tail : "", tail_length);
  bytes[head_length + tail_length] = '\0';
  joined = Text(bytes, head_length + tail_length);
  delete[] bytes;
  return joined;
}

}  // namespace runtime
