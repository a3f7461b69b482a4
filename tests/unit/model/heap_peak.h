// The most heap a piece of code holds at once, as the address sanitizer's
// allocator counts it (the bytes asked for, without the allocator's own
// overhead). Builds without the sanitizer cannot measure and say so.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define ZOR_HEAP_PEAK 1
// The sanitizer's own entry points (g++ ships no header for them).
extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                              void (*free_hook)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* p);
}
#else
#define ZOR_HEAP_PEAK 0
#endif

namespace zortest {

class HeapPeak {
 public:
  static bool Available() { return ZOR_HEAP_PEAK != 0; }

  // Bytes held at the worst moment of `run`, above what was held before.
  template <class F>
  static int64_t Of(F&& run) {
    Install();
    State& s = Get();
    s.current = 0;
    s.peak = 0;
    s.active = true;
    run();
    s.active = false;
    return s.peak;
  }

 private:
  struct State {
    bool active = false;
    int64_t current = 0;
    int64_t peak = 0;
  };
  static State& Get() {
    static State state;
    return state;
  }
#if ZOR_HEAP_PEAK
  static void OnMalloc(const volatile void*, size_t size) {
    State& s = Get();
    if (!s.active) return;
    s.current += static_cast<int64_t>(size);
    if (s.current > s.peak) s.peak = s.current;
  }
  static void OnFree(const volatile void* p) {
    State& s = Get();
    if (s.active && p) s.current -= static_cast<int64_t>(__sanitizer_get_allocated_size(p));
  }
  static void Install() {
    static bool installed = __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
    (void)installed;
  }
#else
  static void Install() {}
#endif
};

}  // namespace zortest
