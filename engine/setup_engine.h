// The install engine: the install description read from the medium together
// with every operation of an install run, and the journal that lets a failed
// run be undone. The program has one, a member of the application object.
//
// Every operation that returns a BOOL returns 1 for success and 0 for
// failure, with the reason in the thread's last-error value (a platform code
// or one of the SETUP_E_* codes). Questions and fatal reports reach the user
// only through the callback given to LoadInstallInfo.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "engine/engine_interface.h"
#include "engine/install_journal.h"
#include "model/install_mngr.h"
#include "model/medium_checksums.h"
#include "platform/program_item.h"

// CheckExistingFile's result bits.
enum : DWORD {
    TARGET_EXISTS = 1,     // a file (or directory entry) is at the target path
    TARGET_NOT_OLDER = 4,  // its product version is the same as or newer than the new file's
    TARGET_IN_USE = 8,     // the version-install service reports it in use
};

class CSetupEngine : public CInstallMngr, public ISetupEngine {
public:
    CSetupEngine();
    ~CSetupEngine() override;
    CSetupEngine(const CSetupEngine&) = delete;
    CSetupEngine& operator=(const CSetupEngine&) = delete;

    // The install sequence's operations.
    BOOL LoadInstallInfo(SetupCallback pfnCallback) override;
    BOOL CopyFiles() override;
    BOOL UpdateRegistry() override;
    BOOL RegisterDlls() override;
    BOOL CreateProgramFolder() override;
    void SetInfoText(const char* pszText) override { CInstallMngr::SetInfoText(pszText); }
    BOOL SaveInstallRecord() override;
    void Rollback() override;
    void RunPostInstallHook() override { CInstallMngr::RunPostInstallHook(); }
    const std::string& GetProductTitle() const override { return m_strProductTitle; }
    const DamagedFile& GetDamagedFile() const override { return m_damage; }
    CSetupEngine* GetEngineObject() override { return this; }

    // The destination page's operations.
    void SetDestDir(const std::string& strDir);
    void SetDestDrive(int nIndex);
    // FALSE with SETUP_E_DISKSPACE when space is short, FALSE with the
    // platform's error when a drive cannot be queried.
    BOOL CheckDiskSpace();
    // Free bytes of the chosen destination drive, saturated at 0xFFFFFFFF.
    BOOL GetDestFreeSpace(DWORD& dwBytes);
    // TRUE when installing into strDir needs no question; loads a compatible
    // install record found there into m_pOldRecord.
    BOOL CheckDestination(const std::string& strDir);
    // m_pOldRecord when it was found in the destination now chosen
    // (m_strDestDir, compared as the file system compares names), else none:
    // a record left from a directory the user chose before is no record of
    // the installation this run goes over.
    CSetupEngine* PreviousRecord() const;

    // Loading (load.cpp).
    BOOL ReadDescriptionFile();
    // Reads the identity block of the description beside this program, and
    // nothing else of it, so that GetProductId names the product before it is
    // loaded. FALSE when there is no readable description there.
    BOOL ReadSourceIdentity();

    // The rollback's part of the program folder (program_folder.cpp): the
    // group if this run made it, else the items of the files it deletes.
    void RemoveProgramFolder();

    // The medium's checksums (medium_check.cpp). Without a checksum file
    // every check passes.
    BOOL ReadChecksumFile();
    BOOL HasChecksums() const { return !m_checksums.m_entries.empty(); }
    // Whether bytes read from the medium are those of the checksum file's
    // entry nEntry (CHECKSUM_DESCRIPTION, ...).
    BOOL IsAsRecorded(size_t nEntry, const FileChecksum& read) const;
    // FALSE with SETUP_E_DAMAGED, naming the file of the medium and its disks.
    BOOL ReportDamage(const std::string& strName, WORD wFirstDisk, WORD wLastDisk);

    // File transfer (transfer.cpp; the data volumes in extract.cpp).
    BOOL InstallUninstaller();
    BOOL CopyTree();
    BOOL InstallFile(CInstalledFile& file);
    BOOL CheckReadOnly(CInstalledFile& file, DWORD& dwAnswer);
    BOOL ExtractFile(CInstalledFile& file);
    BOOL SkipFileData(CInstalledFile& file);
    // Opens volume m_wDisk: from the source directory, asking for it
    // through the callback (unattended first looking where it may be).
    BOOL OpenDataVolume();
    BOOL OpenVolumeAt(const std::string& strPath);
    // Turns a failed file operation into a report to the user; pError none
    // means an unknown failure. Used by the transfer and the record's saving
    // (file_report.cpp).
    void ReportFileException(const CException* pError, const std::string& strFileName);

    InstallJournal m_journal;
    CSetupEngine* m_pOldRecord;  // the record found in the destination directory, owned
    std::string m_strOldRecordDir;  // the directory m_pOldRecord was found in
    CMediumChecksums m_checksums;   // the medium's checksum file; no entries when it has none
    DWORD m_dwFileNumber = 0;       // the file being installed, counted in tree order from 0
    DamagedFile m_damage;

    // A run at the screen needs Program Manager: without it the load fails,
    // and the user is told to restart Windows. An unattended run goes on
    // (a service account has no shell to answer) and makes the program
    // group of shell links instead.
    BOOL m_bProgmanRequired = TRUE;
    BOOL m_bShellLinkGroup = FALSE;  // Program Manager did not answer at load
    // Later volumes are also looked for in the source directory as it is and
    // in the folders disk2, disk3, ... beside it, before the callback is asked.
    BOOL m_bVolumeFolders = FALSE;
};

// The process's engine as its own class, for the wizard pages and the
// background painting; nullptr while another engine stands in (tests).
CSetupEngine* GetSetupEngineObject();

// Examines the file at strTarget before a new file with the fixed version
// record pNewVersion replaces it; bShared asks the version-install service
// about a shared (system) file. FALSE when the target cannot be examined.
BOOL CheckExistingFile(const std::string& strTarget, const BYTE* pNewVersion, BOOL bShared, DWORD& dwBits);

// Loads the DLL, calls its DllRegisterServer (DllUnregisterServer) between
// OLE initialisation and uninitialisation, frees it. TRUE when the call
// returned success; otherwise FALSE with the reason as the last error.
BOOL SelfRegisterFile(const std::string& strPath);
BOOL SelfUnregisterFile(const std::string& strPath);

// The Program Manager caption of an installed file's bare name.
std::string CaptionForFile(const std::string& strFileName);

// One Program Manager item for every file of the tree marked FILE_SHORTCUT,
// in tree order.
std::vector<ProgramItem> ProgramItemsOf(CInstallTree& tree);

// The engine's post-install function: points the demo projects' form files
// at their installed resource files.
void PatchDemoProjects(CInstallMngr* pEngine);

// Replaces the first occurrence of strSearch in the file with strReplacement.
// TRUE when the file was read (whether or not the text was found).
BOOL ReplaceInFile(const std::string& strPath, const std::string& strSearch, const std::string& strReplacement);
