// Storage of the large arrays of a plan and a workspace, every element of
// which is written before it is read: left uninitialized (no zeroing pass
// before the first write) and, from 2 MiB on, on huge pages where the
// system offers them (one page fault per 2 MiB rather than per 4 KiB).
#pragma once

#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace core {

// Raw storage of `bytes` bytes, and its release.
void* bulk_allocate(std::size_t bytes);
void bulk_free(void* p) noexcept;

template <class T>
struct bulk_allocator {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
  using value_type = T;
  bulk_allocator() = default;
  template <class U>
  bulk_allocator(const bulk_allocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return static_cast<T*>(bulk_allocate(n * sizeof(T))); }
  void deallocate(T* p, std::size_t) noexcept { bulk_free(p); }
  // A new element is left as the storage holds it; a copy is made as usual.
  template <class U>
  void construct(U*) noexcept {}
  template <class U, class A, class... More>
  void construct(U* p, A&& a, More&&... more) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(a), std::forward<More>(more)...);
  }
  friend bool operator==(const bulk_allocator&, const bulk_allocator&) { return true; }
};

template <class T>
using bulk_vector = std::vector<T, bulk_allocator<T>>;

}  // namespace core
