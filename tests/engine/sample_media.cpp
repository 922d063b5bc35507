#include "tests/engine/sample_media.h"

#include "tests/support/win_files.h"
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

const std::vector<std::pair<std::string, std::string>>& SampleDestinationFiles()
{
    static const std::vector<std::pair<std::string, std::string>> files = {
        {"Delphi\\Joust\\Joust.exe", "bin/Joust.exe"},
        {"Delphi\\Joust\\Joust.vtr", "demo/VB/Joust/Joust.vtr"},
        {"Delphi\\Q7\\Q7.exe", "bin/Q7.exe"},
        {"Delphi\\Q7\\Q7.vtr", "demo/VB/Q7/Q7.vtr"},
        {"Tessel.exe", "bin/Tessel.exe"},
        {"Tessel.hlp", "help/Tessel.hlp"},
        {"Uninst.exe", "bin/Uninst.exe"},
        {"VB\\Joust\\Form1.frm", "demo/VB/Joust/Form1.frm"},
        {"VB\\Joust\\Joust.vbp", "demo/VB/Joust/Joust.vbp"},
        {"VB\\Joust\\Joust.vtr", "demo/VB/Joust/Joust.vtr"},
        {"VB\\Q7\\Form1.frm", "demo/VB/Q7/Form1.frm"},
        {"VB\\Q7\\Q7.vbp", "demo/VB/Q7/Q7.vbp"},
        {"VB\\Q7\\Q7.vtr", "demo/VB/Q7/Q7.vtr"},
        {"Vantler.hlp", "help/Vantler.hlp"},
        {"Vantler.ocx", "bin/Vantler.ocx"},
    };
    return files;
}
