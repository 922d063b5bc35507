#include "tests/samples/sample_paths.h"

std::string StagePath(const std::string& strRelative) {
  std::string strPath = VANTLER_STAGE_DIR;
  if (!strPath.empty() && strPath[0] == '/')
    strPath.insert(0, "Z:");
  strPath += '/';
  strPath += strRelative;
  for (char& c : strPath) {
    if (c == '/')
      c = '\\';
  }
  return strPath;
}
