#pragma once
// The controls have the newer look and messages (edit margins, flat scroll bars); always so here.
inline constexpr bool NewStyleControls = true;
