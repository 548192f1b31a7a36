// Replaces the allocation functions of the program that links it; each forwards to glibc's own.
#include "tests/host/allocation_counter.h"

#include <cerrno>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);
}

namespace {

// Initial-exec TLS: reading it never allocates, so it is safe inside malloc.
thread_local bool tCounting __attribute__((tls_model("initial-exec"))) = false;
thread_local std::size_t tCount __attribute__((tls_model("initial-exec"))) = 0;

inline void noteAllocation() noexcept
{
  if (tCounting)
    ++tCount;
}

void* allocateOrThrow(std::size_t size)
{
  noteAllocation();
  if (void* p = __libc_malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment)
{
  noteAllocation();
  if (void* p = __libc_memalign(static_cast<std::size_t>(alignment), size ? size : 1))
    return p;
  throw std::bad_alloc();
}

} // namespace

namespace vemlor::testhost {

void beginCountingAllocations() noexcept
{
  tCount = 0;
  tCounting = true;
}

std::size_t endCountingAllocations() noexcept
{
  tCounting = false;
  return tCount;
}

} // namespace vemlor::testhost

extern "C" {

void* malloc(std::size_t size)
{
  noteAllocation();
  return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
  noteAllocation();
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, std::size_t size)
{
  noteAllocation();
  return __libc_realloc(pointer, size);
}

void free(void* pointer) { __libc_free(pointer); }

void* aligned_alloc(std::size_t alignment, std::size_t size)
{
  noteAllocation();
  return __libc_memalign(alignment, size);
}

void* memalign(std::size_t alignment, std::size_t size)
{
  noteAllocation();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size)
{
  noteAllocation();
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
    return EINVAL;
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr)
    return ENOMEM;
  *out = p;
  return 0;
}

} // extern "C"

void* operator new(std::size_t size) { return allocateOrThrow(size); }

void* operator new[](std::size_t size) { return allocateOrThrow(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
  noteAllocation();
  return __libc_malloc(size ? size : 1);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
  noteAllocation();
  return __libc_malloc(size ? size : 1);
}

void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }

void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }

void operator delete(void* pointer) noexcept { __libc_free(pointer); }

void operator delete[](void* pointer) noexcept { __libc_free(pointer); }

void operator delete(void* pointer, std::size_t) noexcept { __libc_free(pointer); }

void operator delete[](void* pointer, std::size_t) noexcept { __libc_free(pointer); }

void operator delete(void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }

void operator delete[](void* pointer, std::align_val_t) noexcept { __libc_free(pointer); }

void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }

void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept { __libc_free(pointer); }
