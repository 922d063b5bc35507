#include "uninstall/removal_texts.h"

#include "framework/format_text.h"
#include "model/setup_protocol.h"

namespace {

// A damaged record can name thousands of entries; the box lists this many.
const size_t MAX_LINES = 20;

}  // namespace

std::string RemainingLine(const RemainingItem& item)
{
    const char* const name = item.strName.c_str();
    switch (item.reason) {
    case RemainingItem::OUTSIDE:
        return FormatText("%s: skipped, the install record places it outside the product's folders", name);
    case RemainingItem::SYSTEM_FILE:
        return FormatText("%s: kept in the system directory, where other programs may need it", name);
    case RemainingItem::STILL_USED:
        return FormatText("%s: still used by other programs", name);
    case RemainingItem::KEPT:
        return FormatText("%s: kept, as you chose", name);
    case RemainingItem::KEPT_UNASKED:
        return FormatText("%s: kept, other programs may still need it", name);
    case RemainingItem::OTHER_INSTALLATION:
        return FormatText("%s: belongs to another installation now", name);
    case RemainingItem::LINKED_DIRECTORY:
        return FormatText("%s: links to another place, nothing in it was removed", name);
    case RemainingItem::NOT_EMPTY:
        return FormatText("%s: holds files that Setup did not install", name);
    case RemainingItem::GROUP_NOT_EMPTY:
        return FormatText("Program folder %s: holds items that Setup did not make", name);
    case RemainingItem::GROUP_LEFT:
        return FormatText("Program folder %s: could not be removed", name);
    case RemainingItem::AT_RESTART:
        return FormatText("%s: in use, it will be removed when Windows restarts", name);
    case RemainingItem::FAILED:
        // HRESULTs (a library's unregistration) read best in hexadecimal.
        return FormatText(item.dwError & 0x80000000 ? "%s: not removed (error 0x%08lX)" : "%s: not removed (error %lu)",
                          name, static_cast<unsigned long>(item.dwError));
    }
    return item.strName;
}

std::string ConfirmationText(const std::string& strTitle)
{
    return FormatText("Do you want to remove %s and all of its components?", strTitle.c_str());
}

std::string SharedFileText(const std::string& strPath)
{
    return FormatText("The shared file\r\n%s\r\nis no longer counted as used by any program. Other programs may "
                      "still need it; keeping it is the safe choice.\r\n\r\nDo you want to remove it?",
                      strPath.c_str());
}

RemovalMessage CopyFailureMessage(DWORD dwError)
{
    return {FormatText("The uninstaller cannot start its copy in the temporary directory (error %lu).\r\n"
                       "Nothing was removed.",
                       static_cast<unsigned long>(dwError)),
            MB_OK | MB_ICONSTOP, SETUP_EXIT_FAILED};
}

RemovalMessage BusyMessage()
{
    return {"Another removal is running. Try again when it has ended.", MB_OK | MB_ICONSTOP, SETUP_EXIT_ALREADY_RUNNING};
}

RemovalMessage RecordFailureMessage(const std::string& strRecord, DWORD dwError)
{
    std::string strText;
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND)
        strText = FormatText("The install record %s cannot be found.", strRecord.c_str());
    else if (dwError == SETUP_E_BADINFO)
        strText = FormatText("The install record %s is damaged.", strRecord.c_str());
    else
        strText = FormatText("The install record %s cannot be read (error %lu).", strRecord.c_str(),
                             static_cast<unsigned long>(dwError));
    return {strText + "\r\nNothing was removed.", MB_OK | MB_ICONSTOP, SETUP_EXIT_FAILED};
}

RemovalMessage ForeignRecordMessage(const std::string& strRecord, const std::string& strRecordedDir)
{
    return {FormatText("The install record %s describes an installation in %s, not this one.\r\nNothing was removed.",
                       strRecord.c_str(), strRecordedDir.c_str()),
            MB_OK | MB_ICONSTOP, SETUP_EXIT_FAILED};
}

RemovalMessage FinalMessage(const std::string& strTitle, const std::vector<RemainingItem>& remaining)
{
    bool bFailed = false;
    bool bRestart = false;
    for (const RemainingItem& item : remaining) {
        bFailed = bFailed || item.IsFailure();
        bRestart = bRestart || item.reason == RemainingItem::AT_RESTART;
    }
    const DWORD dwCode = bFailed ? SETUP_EXIT_FAILED : bRestart ? SETUP_EXIT_RESTART_NEEDED : SETUP_EXIT_DONE;
    const UINT nStyle = MB_OK | (bFailed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
    if (remaining.empty())
        return {FormatText("%s was removed from your computer.", strTitle.c_str()), nStyle, dwCode};

    std::string strText = FormatText(bFailed ? "%s was not removed completely. These items remain:"
                                             : "%s was removed from your computer. These items remain:",
                                     strTitle.c_str());
    strText += "\r\n";
    for (size_t i = 0; i < remaining.size() && i < MAX_LINES; ++i)
        strText += "\r\n" + RemainingLine(remaining[i]);
    if (remaining.size() > MAX_LINES)
        strText += FormatText("\r\n... and %lu more.", static_cast<unsigned long>(remaining.size() - MAX_LINES));
    if (bFailed)
        strText += "\r\n\r\nStart the uninstaller again to finish the removal.";
    if (bRestart)
        strText += "\r\n\r\nRestart Windows to complete the removal.";
    return {strText, nStyle, dwCode};
}
