#pragma once
// Counts every heap allocation of the test process, to show that a path makes
// none. Include it in one source file of a test executable: it replaces the
// global operator new.

#include <atomic>
#include <cstdlib>
#include <new>

inline std::atomic<long> g_allocations{0};

void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
