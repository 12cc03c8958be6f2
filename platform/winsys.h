// The window system as our code sees it: the real Win32 API on Windows targets, the in-memory
// stand-in everywhere else. Code outside platform/ includes only this header.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "platform/standin/winapi.h"
#endif
