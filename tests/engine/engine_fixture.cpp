#include "tests/engine/engine_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/media_format.h"
#include "platform/path.h"
#include "platform/version.h"
#include "tools/setupedit/manifest.h"
#include "tools/setupedit/media_writer.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

EngineFixture* g_pCurrent = nullptr;

std::string Folder(const TempDir& root, const char* name)
{
    fs::create_directories(root.Path(name));
    return root.Path(name);
}

}  // namespace

EngineFixture::EngineFixture()
    : m_strFiles(Folder(m_root, "files")), m_strMedia(m_root.Path("media")), m_strSource(Folder(m_root, "source")),
      m_strDest(m_root.Path("dest")), m_strSys(Folder(m_root, "sys"))
{
    g_pCurrent = this;
    m_pPreviousPresenter = SetMessageBoxPresenter(this);
    engine.m_pfnCallback = Callback;
}

EngineFixture::~EngineFixture()
{
    SetMessageBoxPresenter(m_pPreviousPresenter);
    ClearFindFileAnswers();
    g_pCurrent = nullptr;
}

std::string EngineFixture::Pattern(size_t n, unsigned seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 17 + (i >> 8)) & 0xFF);
    return s;
}

json EngineFixture::Manifest(int mediaType) const
{
    Write(Source("uninst.exe"), Pattern(300, 99));
    json product = {
        {"title", "Vantler"}, {"productId", "0x56544C52"}, {"programFolder", "Vantler"}, {"destDir", "\\Vantler"}};
    return {{"product", product}, {"mediaType", mediaType}, {"uninstaller", "uninst.exe"},
            {"application", json::object()}, {"system", json::object()}};
}

void EngineFixture::AddFile(json& dir, const std::string& name, size_t size, unsigned seed) const
{
    Write(Source(name), Pattern(size, seed));
    dir["files"].push_back({{"source", name}});
}

int EngineFixture::BuildMedium(const json& manifest)
{
    Write(Source("manifest.json"), manifest.dump(2));
    m_nVolumes = static_cast<int>(BuildMedia(LoadManifest(Source("manifest.json")), m_strMedia).volumes.size());
    for (const auto& entry : fs::directory_iterator(fs::path(m_strMedia) / "disk1"))
        fs::copy_file(entry.path(), fs::path(m_strSource) / entry.path().filename(),
                      fs::copy_options::overwrite_existing);
    return m_nVolumes;
}

std::string EngineFixture::VolumePath(int index) const
{
    return m_strMedia + "\\disk" + std::to_string(index + 1) + "\\" + DATA_FILE_NAME;
}

void EngineFixture::InsertVolume(int index) const
{
    const std::string target = m_strSource + "\\" + DATA_FILE_NAME;
    DeleteFileA(target.c_str());
    if (index >= 0)
        CopyFileA(VolumePath(index).c_str(), target.c_str(), FALSE);
}

BOOL EngineFixture::LoadEngine()
{
    engine.PrepareLoad();
    engine.m_pfnCallback = Callback;
    engine.m_strSourceDir = m_strSource;
    if (!engine.ReadDescriptionFile())
        return FALSE;
    engine.SetDestDir(m_strDest);
    engine.m_strSysDir = m_strSys;
    char windows[MAX_PATH];
    engine.m_strWinDir.assign(windows, GetWindowsDirectoryA(windows, MAX_PATH));
    return TRUE;
}

BOOL EngineFixture::Install() { return LoadEngine() && engine.CopyFiles(); }

Lines EngineFixture::Logged(const std::string& prefix) const
{
    Lines entries;
    for (const std::string& entry : m_log)
        if (entry.compare(0, prefix.size(), prefix) == 0)
            entries.push_back(entry);
    return entries;
}

int EngineFixture::Callback(int code, INT_PTR param1, INT_PTR param2)
{
    return g_pCurrent ? g_pCurrent->Answer(code, param1, param2) : 0;
}

int EngineFixture::Answer(int code, INT_PTR param1, INT_PTR param2)
{
    auto name = [](INT_PTR param) { return param ? *reinterpret_cast<const std::string*>(param) : "(none)"; };
    const std::string error = "error " + std::to_string(param1);
    switch (code) {
    case SETUPCB_PROGRESS:
        m_nLastPercent = static_cast<int>(param1);
        break;
    case SETUPCB_STATUSTEXT:
        m_log.push_back("status " + name(param1));
        break;
    case SETUPCB_READONLY:
        m_log.push_back("readonly " + name(param1));
        break;
    case SETUPCB_INSERTDISK:
        m_log.push_back("disk " + std::to_string(param1) + " " + static_cast<char>(param2));
        break;
    case SETUPCB_ERROR:
        if (param1 == SETUPERR_FILEINUSE || param1 == SETUPERR_CREATEDIR)
            m_log.push_back(error + " " + name(param2));
        else
            m_log.push_back(param1 == SETUPERR_DISKFULL ? error + " " + static_cast<char>(param2) : error);
        break;
    }
    if (code == SETUPCB_INSERTDISK) {
        int volume = static_cast<int>(param1);
        if (!m_volumes.empty()) {
            volume = m_volumes.front();
            m_volumes.pop_front();
        } else if (volume >= m_nVolumes) {
            return 0;
        }
        InsertVolume(volume);
    }
    if (m_onCall)
        m_onCall(code, param1, param2);
    std::deque<int>& queue = m_answers[code];
    if (queue.empty())
        return 1;
    const int answer = queue.front();
    queue.pop_front();
    return answer;
}

int EngineFixture::Show(const char*, const std::string& strText, UINT nStyle)
{
    m_log.push_back("box " + std::to_string(nStyle) + " " + strText);
    return IDOK;
}

void EngineFixture::Place(const std::string& path, const std::string& contents, bool readOnly)
{
    fs::create_directories(fs::path(path).parent_path());
    Write(path, contents);
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

bool EngineFixture::Installed(const std::string& target, const std::string& source) const
{
    return fs::exists(target) && Read(target) == Read(Source(source));
}

Lines EngineFixture::TempFilesLeft(const Lines& extra) const
{
    Lines found;
    Lines roots = extra;
    roots.push_back(m_root.Root());
    for (const std::string& root : roots) {
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.size() > 7 && name.compare(0, 3, "Fil") == 0 && name.compare(name.size() - 4, 4, ".tmp") == 0)
                found.push_back(it->path().string());
        }
    }
    return found;
}

std::string EngineFixture::Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void EngineFixture::Write(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << contents;
}

std::string EngineFixture::TestLibrary(const std::string& name)
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    return DirectoryPart(std::string(self, length)) + "\\" + name;
}
