#pragma once
// Horizontal alignment of text in a control or a field (the platform's TAlignment), shared by
// controls and data fields.
#include "platform/classes/TypeInfo.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

inline const classes::TEnumInfo& EnumInfo(TAlignment) {
  static const classes::TEnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
  return info;
}
