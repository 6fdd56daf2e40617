#include "platform/controls/Controls.h"

#include <algorithm>

// ---- alignment and anchors ----

void TControl::SetAlign(TAlign Value) {
  if (FAlign != Value) {
    const TAlign old = FAlign;
    FAlign = Value;
    // Aligned controls are anchored on the sides they stick to.
    static const TAnchors anchorAlign[] = {AnchorsDefault,           {akLeft, akTop, akRight},
                                           {akLeft, akRight, akBottom}, {akLeft, akTop, akBottom},
                                           {akRight, akTop, akBottom}, {akLeft, akTop, akRight, akBottom},
                                           AnchorsDefault};
    SetAnchors(anchorAlign[Value]);
    auto horizontal = [](TAlign a) { return a == alTop || a == alBottom; };
    auto vertical = [](TAlign a) { return a == alLeft || a == alRight; };
    // A control turning from a top or bottom bar into a side bar (or back) swaps its sides.
    if (!HasState(csLoading) && ((horizontal(old) && vertical(Value)) || (vertical(old) && horizontal(Value))))
      SetBounds(FLeft, FTop, FHeight, FWidth);
  }
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  if (!HasState(csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || HasState(csLoading)) return;
  if (FAnchors == AnchorsDefault) {
    FOriginalParentSize = {0, 0};
    return;
  }
  if (FAnchors.Contains(akRight))
    FAnchorRules.X = FAnchors.Contains(akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.X = FLeft + FWidth / 2;
  if (FAnchors.Contains(akBottom))
    FAnchorRules.Y = FAnchors.Contains(akTop) ? FHeight : FTop;
  else
    FAnchorRules.Y = FTop + FHeight / 2;
  if (FParent) {
    TRect client = FParent->ClientRect();
    FOriginalParentSize = {client.Right, client.Bottom};
  }
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0 && FControlState.Contains(csAlignmentNeeded)) Realign();
  if (FAlignLevel < 0) FAlignLevel = 0;
}

void TWinControl::Realign() { AlignControl(nullptr); }

void TWinControl::AlignControl(TControl* AControl) {
  if (HasState(csDestroying)) return;
  if (FAlignLevel != 0 || HasState(csLoading)) {
    FControlState.Include(csAlignmentNeeded);
    return;
  }
  DisableAlign();
  try {
    TRect rect = ClientRect();
    AlignControls(AControl, rect);
  } catch (...) {
    FControlState.Exclude(csAlignmentNeeded);
    --FAlignLevel;
    throw;
  }
  FControlState.Exclude(csAlignmentNeeded);
  --FAlignLevel;
  if (AutoSize()) AdjustSize();
}

void TWinControl::AdjustClientRect(TRect&) {}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  // Just big enough for the visible children, the frame around the client area kept.
  int right = 0, bottom = 0;
  bool any = false;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->FVisible) continue;
    any = true;
    right = std::max(right, c->FLeft + c->FWidth);
    bottom = std::max(bottom, c->FTop + c->FHeight);
  }
  if (!any) return true;
  TRect client = ClientRect();
  NewWidth = FWidth - client.Right + right;
  NewHeight = FHeight - client.Bottom + bottom;
  return true;
}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  const bool work = std::any_of(FControls.begin(), FControls.end(),
                                [](TControl* c) { return c->FAlign != alNone || c->FAnchors != AnchorsDefault; }) ||
                    std::any_of(FWinControls.begin(), FWinControls.end(),
                                [](TControl* c) { return c->FAlign != alNone || c->FAnchors != AnchorsDefault; });
  if (!work) return;
  AdjustClientRect(Rect);
  // The one placed earlier in its edge's direction comes first.
  auto insertBefore = [](TControl* c1, TControl* c2, TAlign a) {
    switch (a) {
      case alTop: return c1->FTop < c2->FTop;
      case alBottom: return c1->FTop + c1->FHeight >= c2->FTop + c2->FHeight;
      case alLeft: return c1->FLeft < c2->FLeft;
      case alRight: return c1->FLeft + c1->FWidth >= c2->FLeft + c2->FWidth;
      default: return false;
    }
  };
  // Moves a child without taking the move as a new anchoring.
  auto placeChild = [](TControl* c, int L, int T, int W, int H) {
    c->FAnchorMove = true;
    try {
      c->SetBounds(L, T, W, H);
    } catch (...) {
      c->FAnchorMove = false;
      throw;
    }
    c->FAnchorMove = false;
  };
  auto position = [&](TControl* c, TAlign a) {
    int newWidth = Rect.Right - Rect.Left;
    if (newWidth < 0 || a == alLeft || a == alRight || a == alCustom) newWidth = c->FWidth;
    int newHeight = Rect.Bottom - Rect.Top;
    if (newHeight < 0 || a == alTop || a == alBottom || a == alCustom) newHeight = c->FHeight;
    int newLeft = Rect.Left;
    int newTop = Rect.Top;
    switch (a) {
      case alTop: Rect.Top += newHeight; break;
      case alBottom: Rect.Bottom -= newHeight; newTop = Rect.Bottom; break;
      case alLeft: Rect.Left += newWidth; break;
      case alRight: Rect.Right -= newWidth; newLeft = Rect.Right; break;
      default: break;
    }
    placeChild(c, newLeft, newTop, newWidth, newHeight);
    // Constraints may have kept the control from taking the size it was given.
    if (c->FWidth != newWidth || c->FHeight != newHeight) {
      switch (a) {
        case alTop: Rect.Top -= newHeight - c->FHeight; break;
        case alBottom: Rect.Bottom += newHeight - c->FHeight; break;
        case alLeft: Rect.Left -= newWidth - c->FWidth; break;
        case alRight: Rect.Right += newWidth - c->FWidth; break;
        case alClient:
          Rect.Right += newWidth - c->FWidth;
          Rect.Bottom += newHeight - c->FHeight;
          break;
        default: break;
      }
    }
  };
  auto anchor = [&](TControl* c) {
    if (c->FOriginalParentSize.X == 0 && c->FOriginalParentSize.Y == 0) return;
    TRect client = ClientRect();
    TPoint parentSize{client.Right, client.Bottom};
    int newLeft = c->FLeft, newTop = c->FTop, newWidth = c->FWidth, newHeight = c->FHeight;
    if (c->FAnchors.Contains(akRight)) {
      if (c->FAnchors.Contains(akLeft)) newWidth = parentSize.X - (c->FOriginalParentSize.X - c->FAnchorRules.X);
      else newLeft = c->FAnchorRules.X + (parentSize.X - c->FOriginalParentSize.X);
    } else if (!c->FAnchors.Contains(akLeft) && c->FOriginalParentSize.X != 0) {
      newLeft = c->FAnchorRules.X * parentSize.X / c->FOriginalParentSize.X - newWidth / 2;
    }
    if (c->FAnchors.Contains(akBottom)) {
      if (c->FAnchors.Contains(akTop)) newHeight = parentSize.Y - (c->FOriginalParentSize.Y - c->FAnchorRules.Y);
      else newTop = c->FAnchorRules.Y + (parentSize.Y - c->FOriginalParentSize.Y);
    } else if (!c->FAnchors.Contains(akTop) && c->FOriginalParentSize.Y != 0) {
      newTop = c->FAnchorRules.Y * parentSize.Y / c->FOriginalParentSize.Y - newHeight / 2;
    }
    placeChild(c, newLeft, newTop, newWidth, newHeight);
  };
  std::vector<TControl*> list;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) {
    list.clear();
    if (AControl && AControl->FParent == this && (a == alNone || AControl->FVisible) && AControl->FAlign == a)
      list.push_back(AControl);
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c == AControl || c->FAlign != a || (a != alNone && !c->FVisible)) continue;
      size_t j = 0;
      while (j < list.size() && !insertBefore(c, list[j], a)) ++j;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(j), c);
    }
    for (TControl* c : list) {
      if (a == alNone) anchor(c);
      else if (a != alCustom) position(c, a);
    }
  }
}

