// Texts, byte constants and optional arguments of the runtime layer.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>

namespace runtime {

// A NUL-terminated byte string in code page 936 that may be absent.
// It owns its bytes; Release() frees them early, as the program's routines
// release each temporary right after its last use.
class Text {
 public:
  Text() = default;                       // an absent text
  explicit Text(const char* bytes);       // a copy; nullptr gives an absent text
  Text(const char* bytes, std::size_t length);
  Text(const Text& other);
  Text(Text&& other) noexcept;
  Text& operator=(const Text& other);
  Text& operator=(Text&& other) noexcept;
  ~Text();

  // The bytes, or nullptr when the text is absent.
  const char* bytes() const { return bytes_; }
  // The bytes, or "" when the text is absent.
  const char* c_str() const { return bytes_ ? bytes_ : ""; }
  bool absent() const { return bytes_ == nullptr; }
  // Absent and "" both count as empty.
  bool empty() const { return bytes_ == nullptr || bytes_[0] == '\0'; }
  std::size_t length() const;
  void Release();

 private:
  char* bytes_ = nullptr;
};

// A new text: `head` immediately followed by `tail`; an absent part counts as
// empty. Nothing is put between them.
Text Join(const Text& head, const char* tail);

// A block of bytes carried inside the program; its length, not a terminator,
// marks its end.
struct ByteConstant {
  const unsigned char* data;
  std::size_t size;
};

// An optional argument: its value (for a text, the caller's own variable)
// and whether the caller gave it.
template <class T>
struct Arg {
  const T& value;
  bool given;
};
template <class T>
Arg<T> Given(const T& value) { return Arg<T>{value, true}; }
template <class T>
Arg<T> Omitted(const T& variable) { return Arg<T>{variable, false}; }

}  // namespace runtime
