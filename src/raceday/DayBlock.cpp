#include "raceday/DayBlock.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <new>
#include <utility>

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define VORNAL_DAY_BLOCKS_MAPPED 1
#include <sys/mman.h>
#endif

namespace vornal {

#ifdef VORNAL_DAY_BLOCKS_MAPPED

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// The window holds the day shown and prepares the next; a season run has a day in flight on
// each worker. Two kept blocks cover the common cases; more are given back to the system.
constexpr std::size_t kKeptBlocks = 2;

struct KeptBlock
{
    void* block = nullptr;
    std::size_t length = 0;
};

std::mutex g_keptLock;
std::array<KeptBlock, kKeptBlocks> g_kept;

std::size_t MappedLength(std::size_t size)
{
    return (size + kHugePage - 1) / kHugePage * kHugePage;
}

void* MapAligned(std::size_t length)
{
    // Mapped one huge page longer, then trimmed to a huge-page boundary at both ends.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > start) {
        ::munmap(raw, aligned - start);
    }
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length) {
        ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    }
    auto* block = reinterpret_cast<void*>(aligned);
    // Only advice: without huge pages the block is an ordinary mapping.
    ::madvise(block, length, MADV_HUGEPAGE);
    return block;
}

} // namespace

void* AllocateDayBlock(std::size_t size)
{
    const std::size_t length = MappedLength(size);
    {
        std::lock_guard<std::mutex> hold(g_keptLock);
        for (KeptBlock& kept : g_kept) {
            if (kept.block != nullptr && kept.length == length) {
                return std::exchange(kept.block, nullptr);
            }
        }
    }
    return MapAligned(length);
}

void FreeDayBlock(void* block, std::size_t size) noexcept
{
    if (block == nullptr) {
        return;
    }
    const std::size_t length = MappedLength(size);
    {
        std::lock_guard<std::mutex> hold(g_keptLock);
        for (KeptBlock& kept : g_kept) {
            if (kept.block == nullptr) {
                kept = {block, length};
                return;
            }
        }
    }
    ::munmap(block, length);
}

#else

// Sanitizer builds and other systems use the ordinary allocator, so the checkers see every
// day's memory.
void* AllocateDayBlock(std::size_t size)
{
    return ::operator new(size);
}

void FreeDayBlock(void* block, std::size_t size) noexcept
{
    ::operator delete(block, size);
}

#endif

} // namespace vornal
