#pragma once
// The visual-styles service. This platform draws no visual styles, so it answers "off" and the
// controls take their classic paths; tests switch it on to reach the themed branches. Every
// change of the answer is announced to all windows with WM_THEMECHANGED.
#include "platform/rtl/Types.h"

constexpr UINT WM_THEMECHANGED = 0x031A;

// Whether visual styles are active for the session and for this program.
bool IsThemeActive();
bool IsAppThemed();

namespace os {
// Turns the answer of IsThemeActive and IsAppThemed; when it changes, every window of the
// thread (top-level windows and all their descendants) is sent WM_THEMECHANGED.
void SetThemeActive(bool Active);
}  // namespace os
