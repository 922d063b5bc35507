#include "tools/setupedit/description_file.h"

#include <string>

#include "framework/mem_file.h"
#include "model/install_mngr.h"
#include "tools/setupedit/tool_error.h"

std::uint64_t LoadDescription(const std::filesystem::path& file, CSetupEdit& ed)
{
    std::string name = file.string();
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw ToolError(name + ": is a folder; name the Setup.dat or Setup.inf in it");
    CFile f;
    CFileException fe;
    if (!f.Open(name.c_str(), CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &fe)) {
        if (fe.m_cause == CFileException::fileNotFound || fe.m_cause == CFileException::badPath)
            throw ToolError(name + ": does not exist");
        throw ToolError(name + ": cannot be opened (error " + std::to_string(fe.m_lOsError) + ")");
    }
    std::uint64_t length = f.GetLength();
    try {
        if (!ed.LoadRecord(f))
            throw ToolError(name + ": not an install description (it does not begin with the signature 23 75 04 03 and an identity block)");
    } catch (const CArchiveException& e) {
        if (e.m_cause == CArchiveException::endOfFile)
            throw ToolError(name + ": damaged: the record ends early or announces more than the file holds");
        throw ToolError(name + ": damaged (archive error " + std::to_string(e.m_cause) + ")");
    } catch (const CFileException& e) {
        throw ToolError(name + ": cannot be read (error " + std::to_string(e.m_lOsError) + ")");
    }
    return length;
}

std::uint64_t StoredLength(CSetupEdit& ed)
{
    CMemFile mem;
    ed.StoreRecord(mem);
    return mem.GetLength();
}
