// The install description: the install tree with the settings, sizes and
// texts that the wizard shows and the engine uses. One record format serves
// the description on the medium (Setup.dat) and the install record left in
// the destination directory (Setup.inf):
//
//   12 bytes  signature 23 75 04 03, 01 00 00 00, 00 00 00 00
//   16 bytes  identity block (bytes 4..7: the product identifier)
//   the install tree from its root node record
//   BYTE media type, WORD opaque, DWORDs app, sys, opaque, uninstaller, extra bytes
//   strings destination directory, product title, program folder
//   DWORD text length L, string information title, L bytes of text
#pragma once

#include <string>
#include <vector>

#include "install_tree.h"
#include "media_format.h"
#include "progress_file.h"
#include "setup_protocol.h"

constexpr DWORD INSTALL_SIGNATURE_MAGIC = 0x03047523;
constexpr BYTE InstallSignature[12] = {0x23, 0x75, 0x04, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr int IDENTITY_SIZE = 16;

// The two first-level directories of every install tree, in this order, and
// the names they carry in stored files; while files are copied they are named
// by the real directories they stand for.
enum { ROOT_APPLICATION = 0, ROOT_SYSTEM = 1 };
constexpr const char* ROOT_APPLICATION_NAME = "Applikation";  // the destination directory
constexpr const char* ROOT_SYSTEM_NAME = "WinSys";            // the Windows system directory

class CInstallMngr;
typedef void (*PostInstallFn)(CInstallMngr* engine);

class CInstallMngr : public CInstallTree {
    DECLARE_SERIAL(CInstallMngr)
public:
    CInstallMngr();
    ~CInstallMngr() override;

    // Storing writes the whole record from the signature on; loading reads
    // from the tree on, after ReadSignature has consumed the first 28 bytes.
    void Serialize(CArchive& ar) override;
    // 1 when the signature is ours and the identity block was read, else 0.
    int ReadSignature(CArchive& ar);

    // Whole records on an open file. LoadRecord returns 0 for a foreign
    // signature; damaged data throws CArchiveException, file errors CFileException.
    int LoadRecord(CFile& file);
    void StoreRecord(CFile& file);

    // Resets the run-time state before a description is loaded and makes
    // this object the one that ReportProgress works on.
    void PrepareLoad();

    // Replaces the information text; none or an empty text removes it.
    void SetInfoText(const char* text);
    void SetProgramFolder(const std::string& folder) { m_strProgramFolder = folder; }
    // The letter of the drive at index of m_abDrives, or 0 for a bad index.
    char GetDriveLetter(int index) const;
    // Identity bytes 4..7 as a little-endian DWORD: the product identifier.
    DWORD GetProductId() const;
    // The layout the engine relies on: the application and the system
    // directory below the root and nothing else beside them, a media type
    // with a known capacity, and every name below the first level one plain
    // path component.
    bool HasInstallLayout() const;
    void RunPostInstallHook();

    int m_nMediaType;           // stored as a BYTE
    WORD m_wOpaque;             // carried unchanged
    std::vector<BYTE> m_abDrives;  // destination drives offered, 1 = A:
    int m_nDrive;               // index into m_abDrives
    BYTE m_chWinDrive;          // drive number of the Windows directory
    DWORD m_dwAppBytes;
    DWORD m_dwSysBytes;
    DWORD m_dwOpaque;           // carried unchanged
    DWORD m_dwUninstBytes;
    DWORD m_dwExtraBytes;
    std::string m_strSourceDir;
    DWORD m_dwInfoTextLen;      // without terminator
    char* m_pInfoText;          // tracked block, NUL-terminated, or none
    std::string m_strInfoTitle;
    SetupCallback m_pfnCallback;
    std::vector<std::string> m_astrGroups;  // program folders that already exist
    std::string m_strDestDir;   // default path without drive in a description
    std::string m_strSysDir;
    std::string m_strWinDir;
    BYTE m_abIdentity[IDENTITY_SIZE];
    std::string m_strProductTitle;
    std::string m_strProgramFolder;
    std::string m_strMainExe;   // "Tessel.exe" once a record is loaded
    std::string m_strResExt;
    DWORD m_dwDoneBytes;
    DWORD m_dwTotalBytes;
    CProgressFile m_DataFile;   // the open Data.dat of the current volume
    WORD m_wDisk;               // zero-based number of the open volume
    DWORD m_dwVolumeLeft;       // payload bytes of that volume not yet consumed
    PostInstallFn m_pfnPostInstall;

private:
    void ReadInfoText(CArchive& ar, DWORD length);
};

// The engine's progress function: adds bytes to the done count of the object
// recorded by PrepareLoad (or SetProgressTarget) and reports the percentage
// through its callback; the callback's 0 means the user quits.
int ReportProgress(UINT bytes);
void SetProgressTarget(CInstallMngr* target);

// The authoring side's view of a description: the same record, byte for
// byte, plus two working strings that are never stored.
class CSetupEdit : public CInstallMngr {
    DECLARE_SERIAL(CSetupEdit)
public:
    CSetupEdit() = default;

    std::string m_strInputDir;
    std::string m_strOutputDir;
};
