#include "tests/samples/sample_paths.h"

std::string StagePath(const char* pszRelative) {
  std::string strPath = VANTLER_STAGE_DIR;
  if (!strPath.empty() && strPath[0] == '/')
    strPath.insert(0, "Z:");
  strPath += '/';
  strPath += pszRelative;
  for (char& c : strPath) {
    if (c == '/')
      c = '\\';
  }
  return strPath;
}
