// A 1-based view of a caller's array: v(i) is element i, counted from 1,
// so that index arithmetic reads as in the algorithms.
#pragma once

#include <cstdint>

template <class T>
class one_based {
 public:
  explicit one_based(T* first) : first_(first) {}
  T& operator()(std::int64_t i) const { return first_[i - 1]; }
  T* at(std::int64_t i) const { return first_ + (i - 1); }  // address of element i

 private:
  T* first_;
};
