#include "tracked_block.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "mem_status.h"

namespace {

// One registry record, living in a 64-byte slot of the slot pool. Slots start
// 100 + 64 * j bytes into a page, so the record is packed to be usable there.
#pragma pack(push, 1)
struct TrackedBlock {
    void* pointer;
    DWORD size;
    char name[51];
};
#pragma pack(pop)
static_assert(sizeof(TrackedBlock) <= 64, "a record must fit its slot");

constexpr int kNameMax = 50;
constexpr int kRegistryStep = 50;
constexpr int kSlotsPerPage = 100;
constexpr int kSlotSize = 64;
constexpr int kPageSize = kSlotsPerPage + kSlotsPerPage * kSlotSize;  // 6,500
constexpr int kPageArrayStep = 10;

// Grows an array of pointers by step entries, keeping the first used ones;
// false, with the array unchanged, when no memory is left.
template <class T>
bool GrowPointerArray(T**& items, int& capacity, int used, int step)
{
    T** grown = new (std::nothrow) T*[capacity + step];
    if (!grown)
        return false;
    if (used)
        std::memcpy(grown, items, used * sizeof(T*));
    delete[] items;
    items = grown;
    capacity += step;
    return true;
}

// All state is plain zero-initialised data, so it is usable during static
// construction and destruction of other objects in any order.
struct Registry {
    bool exists;
    TrackedBlock** entries;
    int capacity;
    WORD count;
    DWORD total;
} g_registry;

struct SlotPool {
    bool exists;
    BYTE** pages;
    int capacity;
    WORD pageCount;
} g_pool;

// ---- The platform's memory: the only OS-specific part of this file.
#ifdef _WIN32
void* AllocPlatformBlock(DWORD size)
{
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!handle)
        return nullptr;
    void* pointer = GlobalLock(handle);
    if (!pointer)
        GlobalFree(handle);
    return pointer;
}

void FreePlatformBlock(void* pointer)
{
    HGLOBAL handle = GlobalHandle(pointer);
    if (handle) {
        GlobalUnlock(handle);
        GlobalFree(handle);
    }
}
#else
void* AllocPlatformBlock(DWORD size) { return std::malloc(size ? size : 1); }
void FreePlatformBlock(void* pointer) { std::free(pointer); }
#endif

// ---- Slot pool
TrackedBlock* SlotAt(BYTE* page, int slot)
{
    return reinterpret_cast<TrackedBlock*>(page + kSlotsPerPage + slot * kSlotSize);
}

TrackedBlock* TakeSlot()
{
    g_pool.exists = true;
    for (int p = 0; p < g_pool.pageCount; ++p) {
        BYTE* page = g_pool.pages[p];
        for (int s = 0; s < kSlotsPerPage; ++s) {
            if (page[s] == 0) {
                page[s] = 1;
                return SlotAt(page, s);
            }
        }
    }
    if (g_pool.pageCount == g_pool.capacity &&
        !GrowPointerArray(g_pool.pages, g_pool.capacity, g_pool.pageCount, kPageArrayStep))
        return nullptr;
    BYTE* page = new (std::nothrow) BYTE[kPageSize]();
    if (!page)
        return nullptr;
    g_pool.pages[g_pool.pageCount++] = page;
    page[0] = 1;
    return SlotAt(page, 0);
}

// Locates a slot address: false when it lies in no page.
bool FindSlot(const void* address, int& pageIndex, int& slotIndex)
{
    const BYTE* a = static_cast<const BYTE*>(address);
    for (int p = 0; p < g_pool.pageCount; ++p) {
        const BYTE* first = g_pool.pages[p] + kSlotsPerPage;
        if (a >= first && a < first + kSlotsPerPage * kSlotSize) {
            pageIndex = p;
            slotIndex = static_cast<int>((a - first) / kSlotSize);
            return true;
        }
    }
    return false;
}

void GiveSlotBack(TrackedBlock* record)
{
    int p, s;
    if (g_pool.exists && record && FindSlot(record, p, s))
        g_pool.pages[p][s] = 0;
}

void FreeSlotPool()
{
    if (!g_pool.exists)
        return;
    for (int p = 0; p < g_pool.pageCount; ++p)
        delete[] g_pool.pages[p];
    delete[] g_pool.pages;
    g_pool = SlotPool{};
}

// ---- Registry
bool GrowRegistry()
{
    return GrowPointerArray(g_registry.entries, g_registry.capacity, g_registry.count, kRegistryStep);
}

// Releases everything when the program ends, whatever was left allocated.
struct ExitCleanup {
    ~ExitCleanup()
    {
        FreeAllTrackedBlocks();
        FreeSlotPool();
    }
} g_exitCleanup;

// The run's status object lives as long as the program.
CMemStatus g_memStatus;

}  // namespace

void* AllocTrackedBlock(DWORD size, const char* name)
{
    if (!g_registry.exists) {
        g_registry = Registry{};
        if (!GrowRegistry())
            return nullptr;
        g_registry.exists = true;
    }
    // The count is 16 bits wide: refuse rather than wrap it.
    if (g_registry.count == 0xFFFF)
        return nullptr;
    if (g_registry.count == g_registry.capacity && !GrowRegistry())
        return nullptr;

    void* pointer = AllocPlatformBlock(size);
    if (!pointer)
        return nullptr;
    TrackedBlock* record = TakeSlot();
    if (!record) {
        FreePlatformBlock(pointer);
        return nullptr;
    }
    record->pointer = pointer;
    record->size = size;
    std::memset(record->name, 0, sizeof record->name);
    if (name)
        std::strncpy(record->name, name, kNameMax);

    g_registry.entries[g_registry.count++] = record;
    g_registry.total += size;
    return pointer;
}

void FreeTrackedBlock(void* pointer)
{
    if (!g_registry.exists || !pointer)
        return;
    int index = 0;
    while (index < g_registry.count && g_registry.entries[index]->pointer != pointer)
        ++index;
    if (index == g_registry.count)
        return;

    TrackedBlock* record = g_registry.entries[index];
    g_registry.total -= record->size;
    --g_registry.count;
    GiveSlotBack(record);
    std::memmove(g_registry.entries + index, g_registry.entries + index + 1,
                 (g_registry.count - index) * sizeof(TrackedBlock*));
    FreePlatformBlock(pointer);
}

void FreeAllTrackedBlocks()
{
    if (!g_registry.exists)
        return;
    for (int i = 0; i < g_registry.count; ++i) {
        TrackedBlock* record = g_registry.entries[i];
        FreePlatformBlock(record->pointer);
        GiveSlotBack(record);
    }
    delete[] g_registry.entries;
    g_registry = Registry{};
}

WORD GetTrackedBlockCount() { return g_registry.count; }

DWORD GetTrackedBlockTotal() { return g_registry.total; }

std::vector<TrackedBlockInfo> GetTrackedBlocks()
{
    std::vector<TrackedBlockInfo> blocks;
    for (int i = 0; i < g_registry.count; ++i) {
        const TrackedBlock* record = g_registry.entries[i];
        TrackedBlockInfo info{record->pointer, record->size, record->name, -1, -1};
        FindSlot(record, info.page, info.slot);
        blocks.push_back(info);
    }
    return blocks;
}

WORD GetSlotPageCount() { return g_pool.pageCount; }
