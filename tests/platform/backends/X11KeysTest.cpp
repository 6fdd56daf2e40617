#include <gtest/gtest.h>

#include "platform/backends/X11Keys.h"
#include "platform/os/Input.h"

#include <X11/keysym.h>

namespace {

TEST(X11Keys, KeysymsBecomeVirtualKeys) {
  struct TCase {
    unsigned long Keysym;
    UINT Key;
  } cases[] = {
      {XK_a, 'A'},           {XK_Z, 'Z'},           {XK_0, '0'},          {XK_9, '9'},
      {XK_F1, VK_F1},        {XK_F12, VK_F12},      {XK_KP_0, VK_NUMPAD0}, {XK_KP_9, VK_NUMPAD9},
      {XK_KP_End, VK_END},   {XK_KP_Enter, VK_RETURN}, {XK_Return, VK_RETURN}, {XK_Escape, VK_ESCAPE},
      {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB},    {XK_ISO_Left_Tab, VK_TAB}, {XK_Delete, VK_DELETE},
      {XK_Left, VK_LEFT},    {XK_Next, VK_NEXT},    {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL},
      {XK_Alt_L, VK_MENU},   {XK_space, VK_SPACE},  {XK_minus, VK_OEM_MINUS}, {XK_apostrophe, VK_OEM_7},
      {XK_Cyrillic_a, 0},    {XK_VoidSymbol, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(backends::VirtualKeyOfKeysym(c.Keysym), c.Key) << std::hex << c.Keysym;
}

TEST(X11Keys, KeypadKeysFollowNumLock) {
  EXPECT_TRUE(backends::IsKeypadKeysym(XK_KP_End));
  EXPECT_TRUE(backends::IsKeypadKeysym(XK_KP_1));
  EXPECT_FALSE(backends::IsKeypadKeysym(XK_End));
}

}  // namespace
