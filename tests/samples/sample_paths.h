// Where the tests find the staged sample product.
#pragma once

#include <string>

// Windows path of a file in the stage folder. The build records the folder as a
// host path; Wine shows the host's root as drive Z:.
std::string StagePath(const std::string& strRelative);
