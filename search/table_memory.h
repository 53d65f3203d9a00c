// Memory for the transposition table's large arrays: zeroed, and backed by huge pages where the
// system allows, since the table is read at random and small pages would miss the address
// translation cache on nearly every probe.
#pragma once

#include <cstddef>
#include <memory>

namespace wintarvo {

struct TableMemoryDeleter {
    std::size_t bytes = 0;
    void operator()(void* p) const;
};

// Zero-filled memory of at least `bytes`; throws std::bad_alloc when there is none.
std::unique_ptr<void, TableMemoryDeleter> allocateTableMemory(std::size_t bytes);

}  // namespace wintarvo
