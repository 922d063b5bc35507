// VantlerRt.dll: the runtime shared by Vantler controls, installed into the
// system directory and reference-counted under SharedDLLs.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// The runtime's version: major in the high word, minor in the low word, the same
// pair as the high DWORD of its file version.
DWORD WINAPI VantlerRtGetVersion(void);

#ifdef __cplusplus
}
#endif
