// Tracked memory blocks: every buffer whose size is known only at run time is
// allocated here, so that it can be released by its pointer alone and every
// block still in use is released when the program ends.
#pragma once

#include <string>
#include <vector>

#include "framework/wintypes.h"

// A block of size bytes of locked movable global memory, or none when the
// platform cannot supply it. The name is kept for diagnostics (50 characters).
void* AllocTrackedBlock(DWORD size, const char* name);
// Releases a block from AllocTrackedBlock; an unknown pointer is ignored.
void FreeTrackedBlock(void* pointer);
// Releases every block still in use and the registry.
void FreeAllTrackedBlocks();

// Read-only views of the registry, for diagnostics and tests.
struct TrackedBlockInfo {
    void* pointer;
    DWORD size;
    std::string name;
    int page;  // where the registry record lives in the slot pool
    int slot;
};
WORD GetTrackedBlockCount();
DWORD GetTrackedBlockTotal();
std::vector<TrackedBlockInfo> GetTrackedBlocks();  // in registry order
WORD GetSlotPageCount();
