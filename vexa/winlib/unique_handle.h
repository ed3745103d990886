#pragma once
// Move-only owner of one Win32 handle; Traits says what "none" is and how to free it.
#include <utility>

namespace vexa::win {

template <class Traits>
class CUniqueHandle {
 public:
  using Type = typename Traits::Type;

  CUniqueHandle() = default;
  explicit CUniqueHandle(Type h) : m_h(h) {}
  ~CUniqueHandle() { Close(); }

  CUniqueHandle(CUniqueHandle&& other) noexcept : m_h(other.Detach()) {}
  CUniqueHandle& operator=(CUniqueHandle&& other) noexcept {
    if (this != &other) Attach(other.Detach());
    return *this;
  }
  CUniqueHandle(const CUniqueHandle&) = delete;
  CUniqueHandle& operator=(const CUniqueHandle&) = delete;

  Type Get() const { return m_h; }
  bool IsValid() const { return m_h != Traits::None(); }
  explicit operator bool() const { return IsValid(); }

  void Attach(Type h) {
    Close();
    m_h = h;
  }
  Type Detach() { return std::exchange(m_h, Traits::None()); }
  bool Close() {
    if (!IsValid()) return true;
    return Traits::Free(Detach());
  }

 private:
  Type m_h = Traits::None();
};

}  // namespace vexa::win
