#include "app/read_only_prompt.h"

#include "framework/format_text.h"
#include "framework/message_box.h"
#include "app/setup_texts.h"
#include "platform/path.h"

std::string CReadOnlyPrompt::GetText(std::string::size_type nMaxPath) const
{
    return FormatText("Setup has detected the Read-Only-File\r\n%s.\r\nOverwrite this file ?",
                      ShortenPathInMiddle(m_strFileName, nMaxPath).c_str());
}

void CReadOnlyPrompt::OnDontShowAgainClicked(BOOL bChecked)
{
    m_nDontShowAgain = bChecked ? 1 : 0;
}

INT_PTR CReadOnlyPrompt::OnCommand(int nId)
{
    switch (nId) {
    case IDOK:
        return READONLY_OVERWRITE;
    case IDNO:
        return READONLY_KEEP;
    case IDCANCEL:
        // Yes is the default button here, unlike the copy phase's quit question.
        if (SetupMessageBox(SETUP_TEXT_QUIT_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES)
            return READONLY_QUIT;
        return 0;
    default:
        return 0;
    }
}
