#pragma once

// The Windows headers as this backend includes them: no min/max macros, and the multimedia joystick
// interface (left out by WIN32_LEAN_AND_MEAN). Included by the backend's .cpp files only, so the
// interfaces it implements stay free of <windows.h>.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <mmsystem.h>
#include <xinput.h>
