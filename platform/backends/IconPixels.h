#pragma once
// An icon's picture as plain pixels, for what shows icons outside the program's own windows:
// the tray, desktop notifications and the window manager's icon of a window.
#include <optional>

#include "platform/gdi/Objects.h"
#include "platform/shell/Tray.h"

namespace backends {

// The pixels of Icon, each 0xAARRGGBB: its own alpha where it has some, else opaque where its
// mask lets the colour through. nullopt for no icon or one that cannot be read.
std::optional<shell::TrayImage> IconPixels(HICON Icon);

}  // namespace backends
