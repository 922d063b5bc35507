/* The helper library of a control, installed beside it. */
#include <windows.h>

__declspec(dllexport) int SelfRegHelperAnswer(void)
{
    return 42;
}
