// Counts heap allocations of the whole process: C++ allocations through operator new, and every
// malloc, the OpenGL driver's included. Include it in exactly one file of a benchmark program.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" void *__libc_malloc(std::size_t);
extern "C" void *__libc_calloc(std::size_t, std::size_t);
extern "C" void *__libc_realloc(void *, std::size_t);

namespace heap {
inline std::size_t news = 0;    // operator new calls
inline std::size_t mallocs = 0; // malloc, calloc and realloc calls, operator new's included
} // namespace heap

extern "C" void *malloc(std::size_t n) {
  heap::mallocs++;
  return __libc_malloc(n);
}
extern "C" void *calloc(std::size_t n, std::size_t size) {
  heap::mallocs++;
  return __libc_calloc(n, size);
}
extern "C" void *realloc(void *p, std::size_t n) {
  heap::mallocs++;
  return __libc_realloc(p, n);
}

void *operator new(std::size_t n) {
  heap::news++;
  if (void *p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void *operator new[](std::size_t n) { return operator new(n); }
void *operator new(std::size_t n, const std::nothrow_t &) noexcept {
  heap::news++;
  return std::malloc(n ? n : 1);
}
void *operator new[](std::size_t n, const std::nothrow_t &) noexcept {
  return operator new(n, std::nothrow);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
