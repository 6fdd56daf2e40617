#pragma once
// The edit-mask language of masked edits and the editing model behind such an edit.
//
// An edit mask has up to three fields separated by ';': "mask;save-literals;blank".
//   mask           the characters below; an empty mask means "not masked"
//   save-literals  '0': the text (the value) holds only the typed characters;
//                  anything else (and the default): the text holds the literals too
//   blank          the character shown in an empty position (default '_')
// Mask characters:
//   !   optional characters are taken as leading blanks: a short value fills the mask from
//       the end and, without saved literals, leading blanks are trimmed from the text
//       (without '!', a short value fills from the start and trailing blanks are trimmed)
//   >   following letters are made upper case     <   following letters are made lower case
//   <>  case conversion off                        \   the next character is a literal
//   L   letter, required          l   letter, optional
//   A   letter or digit, required a   letter or digit, optional
//   C   any character, required   c   any character, optional
//   0   digit, required           9   digit, optional
//   #   digit, '+' or '-', optional
//   :   the time separator and  /  the date separator of FormatSettings()
//   _   a space
//   anything else stands for itself (a literal)
// Positions count code points; '!', '>', '<', "<>" and '\' take no position.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/System.h"

// Raised when the text of a masked edit lacks a required character.
class EDBEditError : public Exception { public: using Exception::Exception; };

// The message of a masked edit whose text does not fill its mask.
inline constexpr const char* SMaskEditErr = "Invalid input value.  Use escape key to abandon changes";

// The blank of a mask that names none.
inline constexpr char32_t DefaultMaskBlank = U'_';

// 1-based code-point index of the ';' that ends the mask proper (an escaped "\;" is a
// literal and does not count); -1 when the mask has no fields.
int MaskGetFldSeparator(const std::string& editMask);
// Whether the text keeps the literals: false only when the second field starts with '0'.
bool MaskGetMaskSave(const std::string& editMask);
// The blank character: the first character of the third field, '_' when there is none.
char32_t MaskGetMaskBlank(const std::string& editMask);
// ':' becomes the time separator and '/' the date separator of FormatSettings(); any other
// character is returned unchanged.
char32_t MaskIntlLiteralToChar(char32_t c);
// A stored value merged into the mask's literals for display, empty positions as spaces.
// With saved literals the value holds the literals itself; each run between literals is
// put into its group of positions (right-aligned with '!'), and a value as long as the mask
// is taken position by position. Without saved literals the value's characters fill the
// mask's positions in order (from the end with '!'). Case conversion applies; characters
// that do not fit their position are still shown. An unmasked value is returned unchanged.
std::string FormatMaskText(const std::string& editMask, const std::string& value);

namespace controls {

enum class TMaskCharKind { Literal, Letter, AlphaNumeric, AnyChar, Digit, DigitOrSign };
enum class TMaskCase { None, Upper, Lower };

// One position of a parsed mask.
struct TMaskSlot {
  TMaskCharKind Kind = TMaskCharKind::Literal;
  bool Required = false;      // an input position that must be filled
  char32_t Literal = 0;       // the character of a literal position
  TMaskCase Case = TMaskCase::None;
  bool IsInput() const { return Kind != TMaskCharKind::Literal; }
};

struct TParsedMask {
  std::vector<TMaskSlot> Slots;
  bool Reverse = false;       // the mask holds '!'
  bool SaveLiterals = true;
  char32_t Blank = DefaultMaskBlank;
  bool Masked = false;        // the mask proper is not empty
};

TParsedMask ParseEditMask(std::string_view editMask);

// Letters of any script, ideographs included; digits are the ASCII digits only.
bool IsLetterCodePoint(char32_t c);

// What `c` becomes in `slot`: the character after case conversion, 0 when it clears the
// position (a space in an optional or any-character position), nullopt when refused.
std::optional<char32_t> FitMaskChar(const TMaskSlot& slot, char32_t c);

}  // namespace controls

// The result of a key typed into a masked edit.
struct TMaskInputResult {
  bool Accepted = false;
  int Caret = 0;  // the caret afterwards (unchanged when refused)
};

// The text of a masked edit and the rules for changing it, without any window: the edit
// control passes keys to it and paints EditText(). Positions and carets are 0-based code-point
// indexes into EditText(); a caret sits before the position of the same number.
// A masked model always holds exactly MaskLength() positions: literals stay in place and
// typing overwrites. An unmasked model holds a plain text and typing inserts.
class TMaskEditModel {
 public:
  TMaskEditModel() = default;
  explicit TMaskEditModel(const std::string& editMask);

  const std::string& EditMask() const { return FEditMask; }
  // Changes the mask; the current value (Text()) is put into the new mask.
  void SetEditMask(const std::string& editMask);
  bool IsMasked() const { return FMask.Masked; }
  bool SaveLiterals() const { return FMask.SaveLiterals; }
  char32_t MaskBlank() const { return FMask.Blank; }
  const controls::TParsedMask& ParsedMask() const { return FMask; }
  // Number of positions of a masked model; the text's length otherwise.
  int MaskLength() const { return static_cast<int>(FCells.size()); }

  // The text as shown: literals, typed characters, blanks in empty positions.
  std::string EditText() const;
  // Takes a shown text position by position: the blank character or a space empties a
  // position, a character that does not fit its position leaves it empty, literals are
  // the mask's whatever the text holds there.
  void SetEditText(const std::string& text);
  // The value: empty positions as spaces; literals kept or dropped as the mask says;
  // without saved literals the blanks on the side of the optional characters are trimmed.
  std::string Text() const;
  // Puts a value into the mask as FormatMaskText places it; characters that do not fit
  // their position leave it empty.
  void SetText(const std::string& value);
  // Empties every input position.
  void Clear();
  // True when no input position holds a character.
  bool IsBlank() const;

  bool IsInputPos(int pos) const;
  // First input position at or after `pos`; -1 when there is none.
  int NextInputPos(int pos) const;
  // Last input position before `pos`; -1 when there is none.
  int PrevInputPos(int pos) const;

  // Carets of a masked model sit on input positions or right after the last one.
  int CaretHome() const;
  int CaretEnd() const;
  int CaretRight(int caret) const;
  int CaretLeft(int caret) const;
  // The caret nearest at or after `caret` (for a click or an assigned SelStart).
  int SnapCaret(int caret) const;

  // A character typed with the caret at `pos`. A masked model skips literals to the next
  // input position and overwrites it; typing the literal the caret stands on (or the next
  // literal, when the character does not fit the input position) moves past it.
  TMaskInputResult InputChar(int pos, char32_t ch);
  // A character typed over a selection: the selection is emptied only when the character
  // is accepted.
  TMaskInputResult InputChar(int selStart, int selLength, char32_t ch);
  // Empties the input positions of the range (removes the range when unmasked); returns
  // the caret, the range's start.
  int DeleteSelection(int start, int length);
  // The Delete key: empties the first input position at or after `pos`; the caret goes there.
  TMaskInputResult Delete(int pos);
  // The Backspace key: empties the last input position before `pos`; the caret goes there.
  TMaskInputResult Backspace(int pos);

  // False with `errorPos` at the first required position that is empty.
  bool Validate(int& errorPos) const;
  // Raises EDBEditError with SMaskEditErr when Validate fails.
  void ValidateEdit() const;

 private:
  std::string FEditMask;
  controls::TParsedMask FMask;
  // Masked: one cell per position (the literal, the character, or 0 when empty).
  // Unmasked: the text's code points.
  std::vector<char32_t> FCells;

  int ClampPos(int pos) const;
  // Empties input position `target` and puts the caret there; refused when `target` is -1.
  TMaskInputResult EmptyInputPos(int target, int caret);
  void ResetCells();
};
