#include "search/table_memory.h"

#include <sys/mman.h>

#include <new>

namespace wintarvo {

void TableMemoryDeleter::operator()(void* p) const {
    if (p) munmap(p, bytes);
}

std::unique_ptr<void, TableMemoryDeleter> allocateTableMemory(std::size_t bytes) {
    constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;
    bytes = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    // Anonymous mappings come zero-filled, and pages nobody touches cost nothing.
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    madvise(p, bytes, MADV_HUGEPAGE);  // a hint: without huge pages the table works the same
#endif
    return std::unique_ptr<void, TableMemoryDeleter>(p, TableMemoryDeleter{bytes});
}

}  // namespace wintarvo
