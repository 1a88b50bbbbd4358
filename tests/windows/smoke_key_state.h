// Forced into every source of the smoke-test build (and only there) with the
// compiler's -include, never included by the code itself: Escape reads as
// pressed once the demo has asked for it more than VANTREL_SMOKE_FRAME_LIMIT
// times, so that a run under an emulator ends by itself after that many
// frames. Every other key goes to the real GetAsyncKeyState.
//
// A macro rather than the linker's --wrap: the demo calls the function through
// its import pointer (__imp_GetAsyncKeyState), which --wrap does not redirect.
#pragma once

// The platform's declaration first, so that it keeps its own name.
#include <windows.h>

SHORT WINAPI smokeGetAsyncKeyState(int vKey);
#define GetAsyncKeyState smokeGetAsyncKeyState
