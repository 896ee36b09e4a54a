#pragma once

#include <cstddef>

// Memory for the race day, a block of about 9 MB that every load and every odds import
// makes afresh. Where the system has huge pages, the block is taken in them: a new day then
// costs five page faults instead of some 2,300, which is most of a load's time in a process
// that lives for one command. A few freed blocks are kept for the next day, as the ordinary
// allocator would keep them, so a long-lived process does not fault them in again.
namespace vornal {

// A block of `size` bytes aligned for any object; throws std::bad_alloc when there is no
// memory for it.
void* AllocateDayBlock(std::size_t size);
// Gives back a block from AllocateDayBlock with the same `size`.
void FreeDayBlock(void* block, std::size_t size) noexcept;

} // namespace vornal
