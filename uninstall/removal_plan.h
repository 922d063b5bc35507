// Removing an installation, decided before anything changes: the loaded
// install record and the machine's state go in; the steps in the order they
// are carried out, and what will stay and why, come out. Window-free and
// portable: the program carries the steps out (removal.h) and asks its
// questions through ISharedFileQuestion.
//
// Every path a step names is built from the destination directory D or the
// system directory and the record's own plain names, and only where the
// record's full path for the file agrees with it. An entry that points
// anywhere else (another directory, a drive root, "..", a device name, an
// alternate data stream, 260 characters or more) is skipped and reported, so
// no step can reach outside D and the system directory, whatever the record
// holds.
//
// The order leaves nothing dangling when the removal stops half-way: the
// registrations, the group items and the registry entries that point at the
// files go before the files; the shared counts are saved as done in the
// record at once, so that a second run does not lower them again; the
// Uninstall entry and the record go last, so that the Apps list can still
// start a second run that finishes the job.
#pragma once

#include <string>
#include <vector>

#include "uninstall/machine_state.h"

class CInstallMngr;
class CInstalledFile;
struct InstallNode;

struct RemovalStep {
    enum Kind {
        UNREGISTER,           // strPath: a library about to go; its DllUnregisterServer runs
        DELETE_GROUP_ITEMS,   // strName: the program group; astrFiles: the files whose items go
        DELETE_GROUP,         // strName: the program group, when nothing else is left in it
        DELETE_SHELL_LINKS,   // strName: a group of shell links; astrFiles: the files whose links go,
                              // then the group's folder when nothing else is left in it; in the
                              // all-users Programs folder, or with bUserPrograms the user's
        DELETE_KEY,           // root, strPath: a key with everything below it
        SET_SHARED_COUNT,     // strPath: a shared file; dwCount: its SharedDLLs count from now on
        DELETE_SHARED_COUNT,  // strPath: a shared file's count, which goes with the file
        SAVE_RECORD,          // the install record without its shared files, now counted down
        DELETE_FILE,          // strPath
        REMOVE_DIRECTORY,     // strPath, when it is empty
    };
    Kind kind;
    std::string strPath;
    std::string strName;
    std::vector<std::string> astrFiles;
    RegRoot root = REG_MACHINE;
    DWORD dwCount = 0;
    bool bUserPrograms = false;

    // One line for listings and tests, such as "delete C:\Vantler\Tessel.exe".
    std::string Describe() const;
};

// Something that stays after the removal, and why.
struct RemainingItem {
    enum Reason {
        OUTSIDE,             // an entry of the record naming a place outside D and the system directory
        SYSTEM_FILE,         // a file in the system directory without the shared mark
        STILL_USED,          // a shared file still counted as used by other programs
        KEPT,                // a shared file counted as used by nobody, which the user kept
        KEPT_UNASKED,        // the same, kept because nobody could be asked
        OTHER_INSTALLATION,  // a registry entry that names another installation now
        LINKED_DIRECTORY,    // a directory that links to another place: nothing below it is touched
        NOT_EMPTY,           // a directory that holds files Setup did not put there
        GROUP_NOT_EMPTY,     // a program group that holds items Setup did not make
        GROUP_LEFT,          // a program group that did not go: Program Manager or the shell kept it
        AT_RESTART,          // a file in use, removed when Windows restarts
        FAILED,              // dwError tells why
    };
    Reason reason;
    std::string strName;  // a path, a registry key or a group
    DWORD dwError = 0;

    // Something that should have gone and did not: the removal is to be repeated.
    bool IsFailure() const { return reason == FAILED || reason == GROUP_LEFT; }
    // One line for listings and tests, such as "outside C:\Other\Tessel.exe".
    std::string Describe() const;
};

struct RemovalPlan {
    // The product's files, group and registry entries, in order.
    std::vector<RemovalStep> steps;
    // The Uninstall entry and the record: carried out only when every step
    // above went through, so that a run that failed can be repeated.
    std::vector<RemovalStep> tail;
    // Uninst.exe and D itself, once the process that was started has ended.
    std::vector<RemovalStep> last;
    // What stays whatever happens, known before anything is done.
    std::vector<RemainingItem> remaining;
};

class CRemovalPlanner {
public:
    CRemovalPlanner(CInstallMngr& record, IMachineState& machine, ISharedFileQuestion& question)
        : m_record(record), m_machine(machine), m_question(question)
    {
    }
    CRemovalPlanner(const CRemovalPlanner&) = delete;
    CRemovalPlanner& operator=(const CRemovalPlanner&) = delete;

    // Plans the removal of the installation in strDestDir (the folder the
    // uninstaller was started from, long form) with the machine's system
    // directory strSysDir. FALSE, with nothing planned, when the record names
    // another destination: it does not describe this installation.
    BOOL Plan(const std::string& strDestDir, const std::string& strSysDir, RemovalPlan& plan);

private:
    struct FileEntry {
        const CInstalledFile* pFile;
        std::string strPath;  // built from D or the system directory and the record's names
        bool bSystem;
    };

    void Collect(const InstallNode& node, const std::string& strDir, bool bSystem, RemovalPlan& plan);
    void Skip(const InstallNode& node, RemovalPlan& plan);
    bool IsRecordedPath(const CInstalledFile& file, const std::string& strPath) const;
    bool PlanSharedFile(const FileEntry& entry, RemovalPlan& plan);
    SharedAnswer Ask(const std::string& strPath);
    void PlanRegistry(RemovalPlan& plan);
    std::string ShortProgramPath();
    void PlanGroup(RemovalPlan& plan);

    CInstallMngr& m_record;
    IMachineState& m_machine;
    ISharedFileQuestion& m_question;

    std::string m_strDestDir;
    std::vector<FileEntry> m_files;          // tree order
    std::vector<std::string> m_astrDirs;     // below D, each before its subdirectories
    std::vector<RemovalStep> m_counts;       // the shared files' steps
    bool m_bAnswerAll = false;
    SharedAnswer m_answerAll = SHARED_KEEP;
};

// True when the record describes the installation in strDestDir (the same
// folder, however its letters are cased).
bool RecordDescribes(const CInstallMngr& record, const std::string& strDestDir);

// Takes every shared file out of the record's tree: once their counts are
// lowered they are no longer the installation's to count.
void DropSharedFiles(InstallNode& node);
