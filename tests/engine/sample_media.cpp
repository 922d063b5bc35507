#include "tests/engine/sample_media.h"

#include "tests/engine/record_support.h"
#include "tools/setupedit/media_writer.h"

std::string StageFile(const std::string& relative)
{
    std::string path = HostPath(VANTLER_STAGE_DIR) + "\\" + relative;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

void BuildSampleMedium(const std::string& out, const std::function<void(Manifest&)>& edit)
{
    Manifest m = LoadManifest(std::filesystem::path(StageFile("floppy.json")));
    if (edit)
        edit(m);
    BuildMedia(m, std::filesystem::path(out));
}
