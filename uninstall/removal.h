// Carrying a removal plan out. Every step is tried whatever became of the
// steps before it; what cannot be done is noted with its reason, and a file
// held open is left to Windows to remove at the next restart.
#pragma once

#include <string>
#include <vector>

#include "uninstall/removal_plan.h"

class CInstallMngr;

class IRemovalProgress {
public:
    virtual ~IRemovalProgress() = default;
    // What is being removed, and how far the removal got (0 to 100).
    virtual void ShowProgress(const std::string& strName, int nPercent) = 0;
};

class CRemoval {
public:
    // strRecordPath: where the record was read from, and is saved to again.
    CRemoval(CInstallMngr& record, const std::string& strRecordPath) : m_record(record), m_strRecordPath(strRecordPath)
    {
    }
    CRemoval(const CRemoval&) = delete;
    CRemoval& operator=(const CRemoval&) = delete;

    // Where the steps show, and how many make 100 percent; none for nullptr.
    void SetProgress(IRemovalProgress* pProgress, size_t nSteps)
    {
        m_pProgress = pProgress;
        m_nTotal = nSteps;
        m_nDone = 0;
    }
    // Carries the steps out in order; with bUntilFailure it stops at the first
    // that fails. False when a step failed.
    bool Run(const std::vector<RemovalStep>& steps, bool bUntilFailure = false);
    // Notes what stays whatever the steps do (the plan's remaining items).
    void Keep(const std::vector<RemainingItem>& items);
    // Notes strDir when it holds more than strKept, files that go at the next
    // restart and what is noted as staying already.
    void NoteLeftovers(const std::string& strDir, const std::string& strKept);

    // What stayed, and why.
    std::vector<RemainingItem> m_remaining;

private:
    enum Leftovers { ONLY_SCHEDULED, ONLY_NOTED, OTHER_FILES };

    void Carry(const RemovalStep& step);
    void Unregister(const std::string& strPath);
    std::vector<std::string> ItemCaptions(const RemovalStep& step);
    void DeleteGroupItems(const RemovalStep& step);
    void DeleteGroup(const std::string& strGroup);
    void DeleteShellLinkGroup(const RemovalStep& step);
    bool IsGroupEmpty(const std::string& strFolder, const std::string& strGroup);
    void SaveRecord();
    void DeleteFile(const std::string& strPath);
    void RemoveDirectory(const std::string& strPath);
    void Schedule(const std::string& strPath, bool bNote);
    Leftovers Examine(const std::string& strDir, const std::string& strKept) const;
    bool IsScheduled(const std::string& strPath) const;
    bool IsNoted(const std::string& strPath) const;
    void Note(RemainingItem::Reason reason, const std::string& strName, DWORD dwError = 0);

    CInstallMngr& m_record;
    std::string m_strRecordPath;
    IRemovalProgress* m_pProgress = nullptr;
    size_t m_nTotal = 0;
    size_t m_nDone = 0;
    std::vector<std::string> m_astrScheduled;
    std::vector<std::string> m_astrCovered;    // directories kept by what is noted below them
    std::vector<std::string> m_astrItemLinks;  // the group items' link files, "<caption>.lnk"
};
