// The settings of the row-blocked factorization: the instruction sets the
// processor runs, the kernel for each, and the thread count zndrv uses.
#include <algorithm>
#include <atomic>
#include <thread>

#include "yale/block_factor.h"

namespace yale_blocked {
namespace {

std::atomic<int>& thread_setting() {
  static std::atomic<int> count(int(std::clamp(std::thread::hardware_concurrency(), 1u, 2u)));
  return count;
}

}  // namespace

bool runs_on_this_processor(isa set) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();  // also when called before the static constructors have run
  if (set == isa::avx512) return __builtin_cpu_supports("avx512f");
  if (set == isa::avx2) return __builtin_cpu_supports("avx2");
#endif
  return set == isa::portable;
}

isa widest() {
  for (isa set : {isa::avx512, isa::avx2})
    if (runs_on_this_processor(set)) return set;
  return isa::portable;
}

column_kernel kernel_for(isa set) {
  switch (runs_on_this_processor(set) ? set : isa::portable) {
    case isa::avx512:
      return column_update_avx512;
    case isa::avx2:
      return column_update_avx2;
    default:
      return column_update_portable;
  }
}

int default_threads() { return thread_setting().load(); }
void set_default_threads(int count) { thread_setting().store(std::max(count, 1)); }

}  // namespace yale_blocked
