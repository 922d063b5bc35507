/* A library that only answers its self-registration call. */
#include <windows.h>
#include <objbase.h>
#include <olectl.h>

#ifdef STUB_BESIDE
/* From the helper library installed beside it (selfreg_helper.c). */
__declspec(dllimport) int SelfRegHelperAnswer(void);
#endif

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer(void)
{
#ifdef STUB_OLE
    /* S_FALSE: the thread is in an OLE session already, as it must be. */
    HRESULT hr = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(hr))
        CoUninitialize();
    return hr == S_FALSE ? S_OK : E_UNEXPECTED;
#elif defined(STUB_BESIDE)
    /* It loaded at all only because its helper was found beside it. */
    return SelfRegHelperAnswer() == 42 ? S_OK : E_UNEXPECTED;
#else
    return SELFREG_E_CLASS;
#endif
}
