#include "platform/dde_handles.h"

namespace {

// A pure client: no transaction is ever served.
HDDEDATA CALLBACK AnswerNothing(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

}  // namespace

static_assert(sizeof(CONVCONTEXT) == 36, "Program Manager expects the 36-byte conversation context");

CDdeInstance::CDdeInstance()
{
    DWORD inst = 0;
    if (DdeInitializeA(&inst, AnswerNothing, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR)
        m_dwInst = inst;
}

bool CDdeConversation::Connect(const CDdeInstance& dde, const CDdeString& serviceAndTopic)
{
    CONVCONTEXT context = {};
    context.cb = sizeof context;
    m_hConv = DdeConnect(dde.Get(), serviceAndTopic.Get(), serviceAndTopic.Get(), &context);
    return m_hConv != nullptr;
}
