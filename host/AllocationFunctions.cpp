// The Windows DLLs' own global allocation functions. The plug-in allocates
// only through new (std::nothrow) (engine/Allocation.h); the compiler's
// runtime implements that by catching the exception of the throwing form,
// and its exception support brings a threads runtime that asks Windows for
// functions XP lacks. These go straight to the C runtime's heap instead, so
// the DLL carries no exception support at all. The deleting forms are
// replaced with them, so that every block goes back where it came from.
#include <cstdlib>
#include <new>

void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }

void operator delete(void* block) noexcept { std::free(block); }

void operator delete[](void* block) noexcept { std::free(block); }

void operator delete(void* block, std::size_t) noexcept { std::free(block); }

void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }

void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
