// The sample product's media, packed at test time by the authoring kit from
// the manifest in the stage folder, as scripts/demo packs them.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/setupedit/manifest.h"

// A Windows path of a file in the stage folder.
std::string StageFile(const std::string& relative);

// Packs floppy.json (after edit, when given) into out\disk1, out\disk2, ...
void BuildSampleMedium(const std::string& out, const std::function<void(Manifest&)>& edit = {});

// Every file the sample product installs into the destination directory
// (relative to it, Uninst.exe included) with the stage file it comes from.
const std::vector<std::pair<std::string, std::string>>& SampleDestinationFiles();
