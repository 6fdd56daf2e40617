#pragma once
// Xlib's headers for tests that also see the class library: Xlib names a type Screen, the name
// of the library's global screen object, so Xlib's type is renamed (XlibScreen) here.
#define Screen XlibScreen
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Screen
