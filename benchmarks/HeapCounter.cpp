#include "HeapCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> allocations{0};

void *Allocate(std::size_t size)
{
	allocations.fetch_add(1, std::memory_order_relaxed);
	if (void *block = std::malloc(size == 0 ? 1 : size))
		return block;
	throw std::bad_alloc();
}

void *AllocateAligned(std::size_t size, std::align_val_t alignment)
{
	allocations.fetch_add(1, std::memory_order_relaxed);
	const std::size_t align = static_cast<std::size_t>(alignment);
	// aligned_alloc wants a size that is a multiple of the alignment.
	const std::size_t rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;
	if (void *block = std::aligned_alloc(align, rounded))
		return block;
	throw std::bad_alloc();
}

} // namespace

uint64_t HeapAllocations()
{
	return allocations.load(std::memory_order_relaxed);
}

void *operator new(std::size_t size) { return Allocate(size); }
void *operator new[](std::size_t size) { return Allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
	try {
		return Allocate(size);
	} catch (const std::bad_alloc &) {
		return nullptr;
	}
}
void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept { return operator new(size, tag); }
void *operator new(std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }
void *operator new[](std::size_t size, std::align_val_t alignment) { return AllocateAligned(size, alignment); }

void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }
void operator delete(void *block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void *block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void *block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t, std::align_val_t) noexcept { std::free(block); }
