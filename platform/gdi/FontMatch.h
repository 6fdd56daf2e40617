#pragma once
// Finding font files for family names through fontconfig. Families a program names that
// this machine lacks ("MS Sans Serif", "Tahoma", "Arial", "宋体", "Courier New", "System",
// "Default") map to installed families of the same kind that have the glyphs; characters the
// chosen face lacks are looked up in fallback faces, Chinese included.
#include <string>
#include <vector>

namespace gdi {

// A face in a font file, and what must be synthesised to reach the asked-for style.
struct TFaceFile {
  std::string Path;
  int Index = 0;
  std::string Family;  // the installed family found
  bool SynthesizeBold = false;
  bool SynthesizeItalic = false;
  bool operator==(const TFaceFile&) const = default;
};

// The face drawn for Family at Weight (100..900) and Italic. Never fails while the machine
// has any scalable font; raises EOutOfResources when it has none.
TFaceFile MatchFace(const std::string& Family, int Weight, bool Italic);

// The faces asked, in order, for a character the main face lacks: a Chinese face, then a
// face with wide coverage. Characters none of them has are looked up by MatchFaceForChar.
const std::vector<TFaceFile>& FallbackFaces(int Weight, bool Italic);
// A face that has the character, if fontconfig knows one (Path empty otherwise).
TFaceFile MatchFaceForChar(char32_t Char, int Weight, bool Italic);

// True when the family name is one this layer maps to a Chinese face.
bool IsChineseFamily(const std::string& Family);
// True for the Chinese families whose Latin letters and digits are half as wide as their
// Chinese characters (the Song, Hei, Kai and Fang faces); windows laid out for them rely on it.
bool IsHalfWidthChineseFamily(const std::string& Family);
// The kind of a family for text metrics: 'm' fixed pitch, 'r' serif, 's' sans serif.
char FamilyKind(const std::string& Family);

// The families a program may choose from: the installed scalable families and the platform
// names mapped to them, sorted, each once.
std::vector<std::string> FontFamilies();

}  // namespace gdi
