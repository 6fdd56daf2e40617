#pragma once
// The side of a check box or radio button as the platform's check-box picture holds them (the
// system check-box bitmap is 4 x 3 such pictures, DrawFrameControl draws them at this size);
// controls size their check boxes by it.
inline constexpr int FrameCheckBoxSize = 13;
