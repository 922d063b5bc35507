// The engine operations that the install sequence calls, in the order it
// calls them. The process's engine (CSetupEngine) implements this interface;
// a scripted engine takes its place when the sequence runs without a screen.
#pragma once

#include <string>

#include "model/setup_protocol.h"

class CSetupEngine;

// The file of the medium that a failure with SETUP_E_DAMAGED found damaged:
// its name on the medium and the zero-based disks its bytes lie on.
struct DamagedFile {
    std::string strName;
    WORD wFirstDisk = 0;
    WORD wLastDisk = 0;
};

// Every operation whose result is a BOOL returns 1 for success and 0 for
// failure, leaving the reason in the thread's last-error value: a platform
// code or one of the SETUP_E_* codes.
class ISetupEngine {
public:
    virtual ~ISetupEngine() = default;

    // Keeps the callback for every later operation; reads the install description.
    virtual BOOL LoadInstallInfo(SetupCallback pfnCallback) = 0;
    virtual BOOL CopyFiles() = 0;
    virtual BOOL UpdateRegistry() = 0;
    // Reports its own failures through the callback; the caller ignores the result.
    virtual BOOL RegisterDlls() = 0;
    virtual BOOL CreateProgramFolder() = 0;
    // nullptr drops the information text, so the install record carries none.
    virtual void SetInfoText(const char* pszText) = 0;
    virtual BOOL SaveInstallRecord() = 0;
    // Undoes what this run has changed so far, as far as the journal allows.
    virtual void Rollback() = 0;
    virtual void RunPostInstallHook() = 0;

    // m_strProductTitle of the install description.
    virtual const std::string& GetProductTitle() const = 0;
    // The file named by the last failure with SETUP_E_DAMAGED.
    virtual const DamagedFile& GetDamagedFile() const = 0;

    // The process's engine as its own class; none for an engine standing in.
    virtual CSetupEngine* GetEngineObject() { return nullptr; }

protected:
    ISetupEngine() = default;
    ISetupEngine(const ISetupEngine&) = default;
    ISetupEngine& operator=(const ISetupEngine&) = default;
};

// The process's engine: the application object registers its engine member
// when it is constructed, so this never answers nullptr once the program runs.
ISetupEngine* GetSetupEngine();

// Makes pEngine the process's engine (nullptr: none) and returns the previous one.
ISetupEngine* SetSetupEngine(ISetupEngine* pEngine);
