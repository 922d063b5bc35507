#include "tests/engine/engine_fixture.h"

#include "model/media_format.h"
#include "platform/version.h"

using nlohmann::json;

namespace {

EngineFixture* g_pCurrent = nullptr;

std::string Folder(const TempDir& root, const char* name)
{
    CreateDirectoryA(root.Path(name).c_str(), nullptr);
    return root.Path(name);
}

// Copies a folder with everything below it.
void CopyFolder(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    for (const std::string& entry : ListTree(from)) {
        if (entry.back() == '\\')
            CreateDirectoryA((to + "\\" + entry).c_str(), nullptr);
        else
            CopyFileA((from + "\\" + entry).c_str(), (to + "\\" + entry).c_str(), FALSE);
    }
}

}  // namespace

EngineFixture::EngineFixture()
    : m_strFiles(Folder(m_root, "files")), m_strMedia(m_root.Path("media")), m_strSource(Folder(m_root, "source")),
      m_strDest(m_root.Path("Vantler Dest")), m_strSys(Folder(m_root, "sys"))
{
    g_pCurrent = this;
    m_pPreviousPresenter = SetMessageBoxPresenter(this);
    m_engine.m_pfnCallback = Callback;
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

json EngineFixture::NewManifest(int mediaType) const
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
    return BuildMedium(Source("manifest.json"));
}

int EngineFixture::BuildMedium(const std::string& manifest, const std::function<void(Manifest&)>& edit)
{
    m_nVolumes = PackMedium(manifest, m_strMedia, edit);
    CopyFolder(m_strMedia + "\\disk1", m_strSource);
    return m_nVolumes;
}

void EngineFixture::InsertMedium(const std::string& packed)
{
    RemoveTree(m_strMedia);
    CopyFolder(packed, m_strMedia);
    for (m_nVolumes = 0; Exists(VolumePath(m_nVolumes));)
        ++m_nVolumes;
    CopyFolder(m_strMedia + "\\disk1", m_strSource);
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

BOOL EngineFixture::Load(CSetupEngine& engine)
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

void EngineFixture::DescribeInCode()
{
    DescribeVantler(m_engine);
    m_pApp = &FirstLevel(m_engine, ROOT_APPLICATION);
    m_pSys = &FirstLevel(m_engine, ROOT_SYSTEM);
    CreateDirectoryA(m_strDest.c_str(), nullptr);
    m_engine.m_strDestDir = m_strDest;
    m_engine.m_strSysDir = m_strSys;
}

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
    const int disk = static_cast<int>(param1 & 0xFFFF);
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
        m_log.push_back("disk " + std::to_string(disk) + " " + static_cast<char>(param2));
        break;
    case SETUPCB_ERROR:
        if (param1 == SETUPERR_FILEINUSE || param1 == SETUPERR_CREATEDIR)
            m_log.push_back(error + " " + name(param2));
        else
            m_log.push_back(param1 == SETUPERR_DISKFULL ? error + " " + static_cast<char>(param2) : error);
        break;
    }
    if (code == SETUPCB_INSERTDISK) {
        int volume = disk;
        if (!m_volumes.empty()) {
            volume = m_volumes.front();
            m_volumes.pop_front();
        } else if (volume >= m_nVolumes) {
            return 0;
        }
        InsertVolume(volume);
    }
    if (m_onCall && m_onCall(code, param1, param2))
        return 0;
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

bool EngineFixture::Installed(const std::string& target, const std::string& source) const
{
    return Exists(target) && Read(target) == Read(Source(source));
}

Lines EngineFixture::TempFilesLeft(const Lines& extra) const
{
    Lines found = TempFilesIn(m_root.Root());
    for (const std::string& dir : extra) {
        if (!dir.empty()) {
            const Lines more = TempFilesIn(dir);
            found.insert(found.end(), more.begin(), more.end());
        }
    }
    return found;
}
