#include "platform/controls/MaskUtils.h"

#include <algorithm>
#include <utility>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace {

using controls::TMaskCase;
using controls::TMaskCharKind;
using controls::TMaskSlot;
using controls::TParsedMask;

std::vector<char32_t> CodePoints(std::string_view s) {
  std::vector<char32_t> result;
  size_t pos = 0;
  while (pos < s.size()) result.push_back(rtl::NextCodePoint(s, pos));
  return result;
}

// Cells back to text; an empty cell (0) becomes `emptyAs`.
std::string CellsToUtf8(const std::vector<char32_t>& cells, char32_t emptyAs) {
  std::string result;
  for (char32_t c : cells) rtl::AppendUtf8(result, c == 0 ? emptyAs : c);
  return result;
}

char32_t FirstCodePoint(const std::string& s, char32_t fallback) {
  if (s.empty()) return fallback;
  size_t pos = 0;
  return rtl::NextCodePoint(s, pos);
}

bool IsAsciiDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

char32_t ApplyCase(TMaskCase maskCase, char32_t c) {
  switch (maskCase) {
    case TMaskCase::Upper: return rtl::UpperCodePoint(c);
    case TMaskCase::Lower: return rtl::LowerCodePoint(c);
    case TMaskCase::None: break;
  }
  return c;
}

// Index of the first unescaped ';' in the code points of a mask; npos when there is none.
size_t FieldSeparatorIndex(const std::vector<char32_t>& mask) {
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == U'\\') {
      ++i;
    } else if (mask[i] == U';') {
      return i;
    }
  }
  return std::string::npos;
}

// The character a value puts into an input position: checked values keep only what the
// position accepts, display values keep every character.
char32_t PlaceValueChar(const TMaskSlot& slot, char32_t c, bool checked) {
  if (checked) return controls::FitMaskChar(slot, c).value_or(0);
  return c == U' ' ? 0 : ApplyCase(slot.Case, c);
}

std::vector<char32_t> EmptyCells(const TParsedMask& mask) {
  std::vector<char32_t> cells;
  cells.reserve(mask.Slots.size());
  for (const TMaskSlot& slot : mask.Slots) cells.push_back(slot.IsInput() ? 0 : slot.Literal);
  return cells;
}

// A value as long as the mask, taken position by position.
void MergeByPosition(const TParsedMask& mask, const std::vector<char32_t>& value, bool checked,
                     std::vector<char32_t>& cells) {
  for (size_t i = 0; i < mask.Slots.size(); ++i) {
    if (mask.Slots[i].IsInput()) cells[i] = PlaceValueChar(mask.Slots[i], value[i], checked);
  }
}

bool LiteralsInPlace(const TParsedMask& mask, const std::vector<char32_t>& value) {
  for (size_t i = 0; i < mask.Slots.size(); ++i) {
    if (!mask.Slots[i].IsInput() && value[i] != mask.Slots[i].Literal) return false;
  }
  return true;
}

// A value holding the literals, put into the mask group by group: the characters up to the
// literal that ends a group fill that group (right-aligned in a reversed mask); a run longer
// than its group gives the group its first characters and the rest goes on to the next.
void MergeWithLiterals(const TParsedMask& mask, const std::vector<char32_t>& value, bool checked,
                       std::vector<char32_t>& cells) {
  const std::vector<TMaskSlot>& slots = mask.Slots;
  const size_t count = slots.size();
  size_t next = 0;  // the next unused character of the value
  size_t i = 0;
  while (i < count) {
    if (!slots[i].IsInput()) {
      if (next < value.size() && value[next] == slots[i].Literal) ++next;
      ++i;
      continue;
    }
    size_t groupEnd = i;
    while (groupEnd < count && slots[groupEnd].IsInput()) ++groupEnd;
    const size_t groupSize = groupEnd - i;
    size_t runEnd = value.size();
    if (groupEnd < count) {
      auto found = std::find(value.begin() + static_cast<std::ptrdiff_t>(next), value.end(),
                             slots[groupEnd].Literal);
      runEnd = static_cast<size_t>(found - value.begin());
    }
    size_t run = runEnd - next;
    size_t first = i;
    if (run > groupSize) {
      run = groupSize;
    } else if (mask.Reverse) {
      first = groupEnd - run;
    }
    for (size_t k = 0; k < run; ++k) {
      cells[first + k] = PlaceValueChar(slots[first + k], value[next + k], checked);
    }
    next += run;
    i = groupEnd;
  }
}

// A value of input characters only, filling the input positions in order (from the end in a
// reversed mask).
void MergeWithoutLiterals(const TParsedMask& mask, const std::vector<char32_t>& value, bool checked,
                          std::vector<char32_t>& cells) {
  std::vector<size_t> inputs;
  for (size_t i = 0; i < mask.Slots.size(); ++i) {
    if (mask.Slots[i].IsInput()) inputs.push_back(i);
  }
  const size_t n = std::min(inputs.size(), value.size());
  for (size_t k = 0; k < n; ++k) {
    const size_t cell = mask.Reverse ? inputs[inputs.size() - 1 - k] : inputs[k];
    const char32_t c = mask.Reverse ? value[value.size() - 1 - k] : value[k];
    cells[cell] = PlaceValueChar(mask.Slots[cell], c, checked);
  }
}

std::vector<char32_t> MergeValue(const TParsedMask& mask, const std::vector<char32_t>& value, bool checked) {
  std::vector<char32_t> cells = EmptyCells(mask);
  // A value already in the mask's shape (as Text() gives it with saved literals, or a shown
  // text) is taken as it stands, also by a mask that does not save literals.
  if (value.size() == mask.Slots.size() && (mask.SaveLiterals || LiteralsInPlace(mask, value))) {
    MergeByPosition(mask, value, checked, cells);
  } else if (mask.SaveLiterals) {
    MergeWithLiterals(mask, value, checked, cells);
  } else {
    MergeWithoutLiterals(mask, value, checked, cells);
  }
  return cells;
}

}  // namespace

namespace controls {

TParsedMask ParseEditMask(std::string_view editMask) {
  const std::vector<char32_t> chars = CodePoints(editMask);
  const size_t separator = FieldSeparatorIndex(chars);
  const size_t end = std::min(separator, chars.size());
  TParsedMask result;
  result.Masked = end > 0;
  TMaskCase maskCase = TMaskCase::None;
  for (size_t i = 0; i < end; ++i) {
    const char32_t c = chars[i];
    TMaskSlot slot;
    switch (c) {
      case U'!': result.Reverse = true; continue;
      case U'>': maskCase = TMaskCase::Upper; continue;
      case U'<':
        if (i + 1 < end && chars[i + 1] == U'>') {
          maskCase = TMaskCase::None;
          ++i;
        } else {
          maskCase = TMaskCase::Lower;
        }
        continue;
      case U'\\': slot.Literal = i + 1 < end ? chars[++i] : c; break;
      case U'L': slot.Kind = TMaskCharKind::Letter; slot.Required = true; break;
      case U'l': slot.Kind = TMaskCharKind::Letter; break;
      case U'A': slot.Kind = TMaskCharKind::AlphaNumeric; slot.Required = true; break;
      case U'a': slot.Kind = TMaskCharKind::AlphaNumeric; break;
      case U'C': slot.Kind = TMaskCharKind::AnyChar; slot.Required = true; break;
      case U'c': slot.Kind = TMaskCharKind::AnyChar; break;
      case U'0': slot.Kind = TMaskCharKind::Digit; slot.Required = true; break;
      case U'9': slot.Kind = TMaskCharKind::Digit; break;
      case U'#': slot.Kind = TMaskCharKind::DigitOrSign; break;
      case U':':
      case U'/': slot.Literal = MaskIntlLiteralToChar(c); break;
      case U'_': slot.Literal = U' '; break;
      default: slot.Literal = c; break;
    }
    slot.Case = maskCase;
    result.Slots.push_back(slot);
  }
  if (separator == std::string::npos) return result;
  // The fields after the mask: save-literals, then the blank; each ends at the next ';'.
  const size_t saveField = separator + 1;
  if (saveField < chars.size() && chars[saveField] == U'0') result.SaveLiterals = false;
  const auto blankSeparator = std::find(chars.begin() + static_cast<std::ptrdiff_t>(saveField), chars.end(), U';');
  if (blankSeparator != chars.end() && blankSeparator + 1 != chars.end()) result.Blank = *(blankSeparator + 1);
  return result;
}

bool IsLetterCodePoint(char32_t c) {
  if (c < 0x80) return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
  if (rtl::UpperCodePoint(c) != c || rtl::LowerCodePoint(c) != c) return true;
  // Letters without case (or outside the case tables): Latin, Greek and Cyrillic blocks,
  // Hebrew, Arabic, Thai, kana, Bopomofo, Hangul and the ideographs.
  static constexpr struct { char32_t First, Last; } kLetters[] = {
      {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6},
      {0x00F8, 0x024F}, {0x0386, 0x0386}, {0x0388, 0x03FF}, {0x0400, 0x0481}, {0x048A, 0x052F},
      {0x0531, 0x0556}, {0x0561, 0x0587}, {0x05D0, 0x05EA}, {0x0620, 0x064A}, {0x0E01, 0x0E30},
      {0x1E00, 0x1FBC}, {0x3041, 0x3096}, {0x30A1, 0x30FA}, {0x3105, 0x312F}, {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A},
      {0xFF66, 0xFF9D}, {0x20000, 0x2FA1F}, {0x30000, 0x3134F},
  };
  for (const auto& range : kLetters) {
    if (c >= range.First && c <= range.Last) return true;
  }
  return false;
}

std::optional<char32_t> FitMaskChar(const TMaskSlot& slot, char32_t c) {
  if (!slot.IsInput() || c < 0x20 || c == 0x7F) return std::nullopt;
  if (c == U' ') {
    if (!slot.Required || slot.Kind == TMaskCharKind::AnyChar) return char32_t{0};
    return std::nullopt;
  }
  const char32_t converted = ApplyCase(slot.Case, c);
  bool fits = false;
  switch (slot.Kind) {
    case TMaskCharKind::Letter: fits = IsLetterCodePoint(converted); break;
    case TMaskCharKind::AlphaNumeric: fits = IsLetterCodePoint(converted) || IsAsciiDigit(converted); break;
    case TMaskCharKind::AnyChar: fits = true; break;
    case TMaskCharKind::Digit: fits = IsAsciiDigit(converted); break;
    case TMaskCharKind::DigitOrSign:
      fits = IsAsciiDigit(converted) || converted == U'+' || converted == U'-';
      break;
    case TMaskCharKind::Literal: break;
  }
  if (!fits) return std::nullopt;
  return converted;
}

}  // namespace controls

int MaskGetFldSeparator(const std::string& editMask) {
  const size_t index = FieldSeparatorIndex(CodePoints(editMask));
  return index == std::string::npos ? -1 : static_cast<int>(index) + 1;
}

bool MaskGetMaskSave(const std::string& editMask) { return controls::ParseEditMask(editMask).SaveLiterals; }

char32_t MaskGetMaskBlank(const std::string& editMask) { return controls::ParseEditMask(editMask).Blank; }

char32_t MaskIntlLiteralToChar(char32_t c) {
  if (c == U':') return FirstCodePoint(FormatSettings().TimeSeparator, c);
  if (c == U'/') return FirstCodePoint(FormatSettings().DateSeparator, c);
  return c;
}

std::string FormatMaskText(const std::string& editMask, const std::string& value) {
  const TParsedMask mask = controls::ParseEditMask(editMask);
  if (!mask.Masked) return value;
  return CellsToUtf8(MergeValue(mask, CodePoints(value), false), U' ');
}

// ---- TMaskEditModel ----

TMaskEditModel::TMaskEditModel(const std::string& editMask) { SetEditMask(editMask); }

void TMaskEditModel::SetEditMask(const std::string& editMask) {
  const std::string value = Text();
  FEditMask = editMask;
  FMask = controls::ParseEditMask(editMask);
  SetText(value);
}

void TMaskEditModel::ResetCells() {
  if (IsMasked()) {
    FCells = EmptyCells(FMask);
  } else {
    FCells.clear();
  }
}

int TMaskEditModel::ClampPos(int pos) const { return std::clamp(pos, 0, MaskLength()); }

std::string TMaskEditModel::EditText() const { return CellsToUtf8(FCells, FMask.Blank); }

void TMaskEditModel::SetEditText(const std::string& text) {
  std::vector<char32_t> chars = CodePoints(text);
  if (!IsMasked()) {
    FCells = std::move(chars);
    return;
  }
  ResetCells();
  const size_t n = std::min(chars.size(), FCells.size());
  for (size_t i = 0; i < n; ++i) {
    const TMaskSlot& slot = FMask.Slots[i];
    if (slot.IsInput() && chars[i] != FMask.Blank) FCells[i] = controls::FitMaskChar(slot, chars[i]).value_or(0);
  }
}

std::string TMaskEditModel::Text() const {
  if (!IsMasked()) return CellsToUtf8(FCells, 0);
  std::vector<char32_t> value;
  for (size_t i = 0; i < FCells.size(); ++i) {
    if (FMask.Slots[i].IsInput()) {
      value.push_back(FCells[i] == 0 ? U' ' : FCells[i]);
    } else if (FMask.SaveLiterals) {
      value.push_back(FCells[i]);
    }
  }
  if (!FMask.SaveLiterals) {
    if (FMask.Reverse) {
      value.erase(value.begin(), std::find_if(value.begin(), value.end(), [](char32_t c) { return c != U' '; }));
    } else {
      while (!value.empty() && value.back() == U' ') value.pop_back();
    }
  }
  return CellsToUtf8(value, U' ');
}

void TMaskEditModel::SetText(const std::string& value) {
  if (!IsMasked()) {
    FCells = CodePoints(value);
    return;
  }
  FCells = MergeValue(FMask, CodePoints(value), true);
}

void TMaskEditModel::Clear() { ResetCells(); }

bool TMaskEditModel::IsBlank() const {
  if (!IsMasked()) return FCells.empty();
  for (size_t i = 0; i < FCells.size(); ++i) {
    if (FMask.Slots[i].IsInput() && FCells[i] != 0) return false;
  }
  return true;
}

bool TMaskEditModel::IsInputPos(int pos) const {
  if (pos < 0 || pos >= MaskLength()) return false;
  return !IsMasked() || FMask.Slots[static_cast<size_t>(pos)].IsInput();
}

int TMaskEditModel::NextInputPos(int pos) const {
  for (int i = std::max(pos, 0); i < MaskLength(); ++i) {
    if (IsInputPos(i)) return i;
  }
  return -1;
}

int TMaskEditModel::PrevInputPos(int pos) const {
  for (int i = ClampPos(pos) - 1; i >= 0; --i) {
    if (IsInputPos(i)) return i;
  }
  return -1;
}

int TMaskEditModel::CaretHome() const {
  const int first = NextInputPos(0);
  return first < 0 ? 0 : first;
}

int TMaskEditModel::CaretEnd() const {
  if (!IsMasked()) return MaskLength();
  return PrevInputPos(MaskLength()) + 1;
}

int TMaskEditModel::SnapCaret(int caret) const {
  if (!IsMasked()) return ClampPos(caret);
  const int next = NextInputPos(caret);
  return next < 0 ? CaretEnd() : next;
}

int TMaskEditModel::CaretRight(int caret) const { return SnapCaret(ClampPos(caret) + 1); }

int TMaskEditModel::CaretLeft(int caret) const {
  if (!IsMasked()) return std::max(ClampPos(caret) - 1, 0);
  const int previous = PrevInputPos(caret);
  return previous < 0 ? CaretHome() : previous;
}

TMaskInputResult TMaskEditModel::InputChar(int pos, char32_t ch) {
  pos = ClampPos(pos);
  if (ch < 0x20 || ch == 0x7F) return {false, pos};
  if (!IsMasked()) {
    FCells.insert(FCells.begin() + pos, ch);
    return {true, pos + 1};
  }
  const int target = NextInputPos(pos);
  // Typing a literal the caret stands on steps over it.
  const int literalsEnd = target < 0 ? MaskLength() : target;
  for (int q = pos; q < literalsEnd; ++q) {
    if (FMask.Slots[static_cast<size_t>(q)].Literal == ch) return {true, SnapCaret(q + 1)};
  }
  if (target < 0) return {false, pos};
  const TMaskSlot& slot = FMask.Slots[static_cast<size_t>(target)];
  if (const auto fitted = controls::FitMaskChar(slot, ch)) {
    FCells[static_cast<size_t>(target)] = *fitted;
    return {true, SnapCaret(target + 1)};
  }
  if (pos == target) {
    // The caret was moved past literals after the previous character: typing one of them
    // is taken without effect, so that a date can be typed with its separators.
    for (int q = pos - 1; q >= 0 && !IsInputPos(q); --q) {
      if (FMask.Slots[static_cast<size_t>(q)].Literal == ch) return {true, pos};
    }
  }
  if (IsInputPos(target - 1)) {
    // The literal that ends the group, typed inside the group, moves the caret to the next group.
    int groupEnd = target;
    while (IsInputPos(groupEnd)) ++groupEnd;
    if (groupEnd < MaskLength() && FMask.Slots[static_cast<size_t>(groupEnd)].Literal == ch) {
      return {true, SnapCaret(groupEnd + 1)};
    }
  }
  return {false, pos};
}

TMaskInputResult TMaskEditModel::InputChar(int selStart, int selLength, char32_t ch) {
  if (selLength == 0) return InputChar(selStart, ch);
  const std::vector<char32_t> saved = FCells;
  const int caret = DeleteSelection(selStart, selLength);
  TMaskInputResult result = InputChar(caret, ch);
  if (!result.Accepted) {
    FCells = saved;
    result.Caret = ClampPos(selStart);
  }
  return result;
}

int TMaskEditModel::DeleteSelection(int start, int length) {
  // In 64 bits so that no start and length overflow; a negative length selects leftwards.
  long long first = start;
  long long last = first + length;
  if (last < first) std::swap(first, last);
  const long long size = MaskLength();
  start = static_cast<int>(std::clamp(first, 0LL, size));
  const int end = static_cast<int>(std::clamp(last, 0LL, size));
  if (!IsMasked()) {
    FCells.erase(FCells.begin() + start, FCells.begin() + end);
    return start;
  }
  for (int i = start; i < end; ++i) {
    if (IsInputPos(i)) FCells[static_cast<size_t>(i)] = 0;
  }
  return start;
}

TMaskInputResult TMaskEditModel::EmptyInputPos(int target, int caret) {
  if (target < 0) return {false, caret};
  DeleteSelection(target, 1);
  return {true, target};
}

TMaskInputResult TMaskEditModel::Delete(int pos) {
  pos = ClampPos(pos);
  return EmptyInputPos(NextInputPos(pos), pos);
}

TMaskInputResult TMaskEditModel::Backspace(int pos) {
  pos = ClampPos(pos);
  return EmptyInputPos(PrevInputPos(pos), pos);
}

bool TMaskEditModel::Validate(int& errorPos) const {
  errorPos = -1;
  if (!IsMasked()) return true;
  for (size_t i = 0; i < FCells.size(); ++i) {
    if (FMask.Slots[i].IsInput() && FMask.Slots[i].Required && FCells[i] == 0) {
      errorPos = static_cast<int>(i);
      return false;
    }
  }
  return true;
}

void TMaskEditModel::ValidateEdit() const {
  int errorPos = 0;
  if (!Validate(errorPos)) throw EDBEditError(SMaskEditErr);
}
