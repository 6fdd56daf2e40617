#pragma once
// Keys of the X keyboard as the program's virtual key codes.
#include "platform/rtl/Types.h"

namespace backends {

// The virtual key code of an X keysym: letters (either case) and digits are their upper-case
// ASCII codes, the keypad's digits VK_NUMPAD0..9 and its other keys their VK_ codes,
// punctuation the VK_OEM_ codes of a US keyboard; 0 for keysyms with no code.
UINT VirtualKeyOfKeysym(unsigned long Keysym);
// Keypad keysyms (their meaning follows Num Lock, so the pressed level decides the code).
bool IsKeypadKeysym(unsigned long Keysym);

}  // namespace backends
