#include "vantler_rt.h"

#include "vantler_version.h"

DWORD WINAPI VantlerRtGetVersion(void) {
  return MAKELONG(VANTLER_VERSION_MINOR, VANTLER_VERSION_MAJOR);
}
