// Dispatching the thread's waiting messages from inside long work on the
// user-interface thread.
//
// Under Wine every look at the queue (PeekMessage, GetQueueStatus,
// GetInputState, MsgWaitForMultipleObjects alike) is a round trip to the
// server of some 30 to 100 microseconds, longer than copying a 10,000-byte
// chunk takes. So the queue is looked at only when a short interval has
// passed since the last look; in between, a call costs one read of the
// performance counter.
#pragma once

#include <windows.h>

class CMessagePump {
public:
    // nIntervalMs: the longest time between two looks at the queue.
    explicit CMessagePump(UINT nIntervalMs = 10);

    // Takes every waiting message of the thread, lets hwndDialog's keyboard
    // handling have it first and dispatches the rest. Does nothing when the
    // queue was looked at less than the interval ago.
    void Pump(HWND hwndDialog);

private:
    LONGLONG m_llInterval;
    LONGLONG m_llNextLook = 0;
};
