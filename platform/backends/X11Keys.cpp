#include "platform/backends/X11Keys.h"

#include <unordered_map>

#include "platform/os/Input.h"

#include <X11/keysym.h>

namespace backends {

namespace {

const std::unordered_map<unsigned long, UINT>& KeyTable() {
  static const std::unordered_map<unsigned long, UINT> table = {
      {XK_BackSpace, VK_BACK},     {XK_Tab, VK_TAB},           {XK_ISO_Left_Tab, VK_TAB},
      {XK_Clear, VK_CLEAR},        {XK_Return, VK_RETURN},     {XK_Pause, VK_PAUSE},
      {XK_Scroll_Lock, VK_SCROLL}, {XK_Sys_Req, VK_SNAPSHOT},  {XK_Print, VK_SNAPSHOT},
      {XK_Escape, VK_ESCAPE},      {XK_Delete, VK_DELETE},     {XK_Home, VK_HOME},
      {XK_Left, VK_LEFT},          {XK_Up, VK_UP},             {XK_Right, VK_RIGHT},
      {XK_Down, VK_DOWN},          {XK_Prior, VK_PRIOR},       {XK_Next, VK_NEXT},
      {XK_End, VK_END},            {XK_Begin, VK_CLEAR},       {XK_Select, VK_SELECT},
      {XK_Execute, VK_EXECUTE},    {XK_Insert, VK_INSERT},     {XK_Menu, VK_APPS},
      {XK_Help, VK_HELP},          {XK_Break, VK_CANCEL},      {XK_Num_Lock, VK_NUMLOCK},
      {XK_space, VK_SPACE},        {XK_Shift_L, VK_SHIFT},     {XK_Shift_R, VK_SHIFT},
      {XK_Control_L, VK_CONTROL},  {XK_Control_R, VK_CONTROL}, {XK_Caps_Lock, VK_CAPITAL},
      {XK_Alt_L, VK_MENU},         {XK_Alt_R, VK_MENU},        {XK_ISO_Level3_Shift, VK_MENU},
      {XK_Meta_L, VK_MENU},        {XK_Meta_R, VK_MENU},       {XK_Super_L, VK_LWIN},
      {XK_Super_R, VK_RWIN},       {XK_KP_Enter, VK_RETURN},   {XK_KP_Home, VK_HOME},
      {XK_KP_Left, VK_LEFT},       {XK_KP_Up, VK_UP},          {XK_KP_Right, VK_RIGHT},
      {XK_KP_Down, VK_DOWN},       {XK_KP_Prior, VK_PRIOR},    {XK_KP_Next, VK_NEXT},
      {XK_KP_End, VK_END},         {XK_KP_Begin, VK_CLEAR},    {XK_KP_Insert, VK_INSERT},
      {XK_KP_Delete, VK_DELETE},   {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD},
      {XK_KP_Separator, VK_SEPARATOR}, {XK_KP_Subtract, VK_SUBTRACT}, {XK_KP_Decimal, VK_DECIMAL},
      {XK_KP_Divide, VK_DIVIDE},   {XK_KP_Space, VK_SPACE},    {XK_KP_Tab, VK_TAB},
      {XK_semicolon, VK_OEM_1},    {XK_colon, VK_OEM_1},       {XK_equal, VK_OEM_PLUS},
      {XK_plus, VK_OEM_PLUS},      {XK_comma, VK_OEM_COMMA},   {XK_less, VK_OEM_COMMA},
      {XK_minus, VK_OEM_MINUS},    {XK_underscore, VK_OEM_MINUS}, {XK_period, VK_OEM_PERIOD},
      {XK_greater, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2},       {XK_question, VK_OEM_2},
      {XK_grave, VK_OEM_3},        {XK_asciitilde, VK_OEM_3},  {XK_bracketleft, VK_OEM_4},
      {XK_braceleft, VK_OEM_4},    {XK_backslash, VK_OEM_5},   {XK_bar, VK_OEM_5},
      {XK_bracketright, VK_OEM_6}, {XK_braceright, VK_OEM_6},  {XK_apostrophe, VK_OEM_7},
      {XK_quotedbl, VK_OEM_7},
  };
  return table;
}

}  // namespace

UINT VirtualKeyOfKeysym(unsigned long k) {
  if (k >= XK_a && k <= XK_z) return static_cast<UINT>('A' + (k - XK_a));
  if (k >= XK_A && k <= XK_Z) return static_cast<UINT>(k);
  if (k >= XK_0 && k <= XK_9) return static_cast<UINT>(k);
  if (k >= XK_KP_0 && k <= XK_KP_9) return static_cast<UINT>(VK_NUMPAD0 + (k - XK_KP_0));
  if (k >= XK_F1 && k <= XK_F24) return static_cast<UINT>(VK_F1 + (k - XK_F1));
  auto it = KeyTable().find(k);
  return it == KeyTable().end() ? 0 : it->second;
}

bool IsKeypadKeysym(unsigned long k) { return k >= XK_KP_Space && k <= XK_KP_9; }

}  // namespace backends
