#pragma once
// The whole drawing layer's public face: colours, objects, device contexts, drawing, blits,
// the control-drawing routines, fonts and text.
#include "platform/gdi/Blit.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
