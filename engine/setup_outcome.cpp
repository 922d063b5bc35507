#include "engine/setup_outcome.h"

DWORD ExitCodeOf(SetupOutcome outcome, bool bUnattended)
{
    switch (outcome) {
    case OUTCOME_DONE:
        return SETUP_EXIT_DONE;
    case OUTCOME_USER_QUIT:
        return bUnattended ? SETUP_EXIT_FAILED : SETUP_EXIT_USER_QUIT;
    case OUTCOME_ALREADY_RUNNING:
        return SETUP_EXIT_ALREADY_RUNNING;
    case OUTCOME_BAD_COMMAND_LINE:
        return SETUP_EXIT_BAD_COMMAND_LINE;
    case OUTCOME_RESTART_NEEDED:
        return SETUP_EXIT_RESTART_NEEDED;
    case OUTCOME_FAILED:
    case OUTCOME_REFUSED:
        break;
    }
    return SETUP_EXIT_FAILED;
}
