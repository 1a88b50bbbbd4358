// Escape for the smoke-test build: pressed from the (limit + 1)-th query on,
// so exactly `limit` frames are presented. Other keys are the platform's.
#include "tests/windows/smoke_key_state.h"

#undef GetAsyncKeyState

SHORT WINAPI smokeGetAsyncKeyState(int vKey) {
    static int escapeQueries = 0;
    if (vKey == VK_ESCAPE) {
        ++escapeQueries;
        return escapeQueries > VANTREL_SMOKE_FRAME_LIMIT ? SHORT(1) : SHORT(0);
    }
    return GetAsyncKeyState(vKey);
}
