#include "core/bulk_storage.h"

#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace core {

namespace {
constexpr std::size_t huge_page = std::size_t(2) << 20;
}

void* bulk_allocate(std::size_t bytes) {
  void* p = nullptr;
  if (bytes >= huge_page) {
    p = std::aligned_alloc(huge_page, (bytes + huge_page - 1) / huge_page * huge_page);
#ifdef __linux__
    if (p) madvise(p, bytes, MADV_HUGEPAGE);  // a hint: refused, the pages are small
#endif
  } else {
    p = std::malloc(bytes ? bytes : 1);
  }
  if (!p) throw std::bad_alloc();
  return p;
}

void bulk_free(void* p) noexcept { std::free(p); }

}  // namespace core
