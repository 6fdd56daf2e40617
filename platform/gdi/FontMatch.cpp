#include "platform/gdi/FontMatch.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "platform/rtl/Strings.h"
#include "platform/rtl/System.h"

namespace gdi {
namespace {

// Installed families tried for each kind of platform family, best first. The generic name
// at the end lets fontconfig pick anything of that kind.
const std::vector<std::string> kSansFamilies = {"Liberation Sans", "DejaVu Sans", "sans-serif"};
const std::vector<std::string> kSerifFamilies = {"Liberation Serif", "DejaVu Serif", "serif"};
const std::vector<std::string> kMonoFamilies = {"Liberation Mono", "DejaVu Sans Mono", "monospace"};
const std::vector<std::string> kChineseFamilies = {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Sans SC",
                                                   "Noto Serif CJK SC", "AR PL UMing CN", "sans-serif:lang=zh-cn"};
// The platform's Song, Hei, Kai and Fang faces draw Latin letters and digits at half the
// width of a Chinese character, as a fixed-pitch face does; windows are laid out for those
// widths, so faces that keep them come first.
const std::vector<std::string> kChineseHalfWidthFamilies = {"WenQuanYi Micro Hei Mono", "WenQuanYi Zen Hei Mono",
                                                            "Noto Sans Mono CJK SC", "WenQuanYi Micro Hei",
                                                            "Noto Sans CJK SC", "Noto Sans SC", "Noto Serif CJK SC",
                                                            "AR PL UMing CN", "sans-serif:lang=zh-cn"};
const std::vector<std::string> kWideCoverageFamilies = {"DejaVu Sans"};

// Platform family names, lower case, by kind.
const std::set<std::string> kSansNames = {"",         "default",        "ms sans serif", "microsoft sans serif",
                                          "ms shell dlg", "ms shell dlg 2", "tahoma",       "arial",
                                          "verdana",  "system",         "segoe ui",     "helvetica",
                                          "small fonts", "ms ui gothic",  "arial narrow", "trebuchet ms"};
const std::set<std::string> kSerifNames = {"times new roman", "times", "ms serif", "georgia", "roman"};
const std::set<std::string> kMonoNames = {"courier new", "courier", "fixedsys", "terminal", "lucida console",
                                          "consolas"};
const std::set<std::string> kChineseNames = {"宋体",     "新宋体",       "黑体",        "微软雅黑",  "楷体",
                                             "仿宋",     "楷体_gb2312",  "仿宋_gb2312", "幼圆",      "simsun",
                                             "nsimsun",  "simhei",       "microsoft yahei", "kaiti", "fangsong",
                                             "kaiti_gb2312", "fangsong_gb2312", "mingliu", "pmingliu", "细明体",
                                             "新细明体"};
// Of those, the faces with half-width Latin characters.
const std::set<std::string> kChineseHalfWidthNames = {"宋体", "新宋体", "黑体", "楷体", "仿宋", "楷体_gb2312",
                                                      "仿宋_gb2312", "simsun", "nsimsun", "simhei", "kaiti",
                                                      "fangsong", "kaiti_gb2312", "fangsong_gb2312", "mingliu",
                                                      "细明体"};

std::string Lower(const std::string& S) {
  std::string out;
  size_t pos = 0;
  while (pos < S.size()) rtl::AppendUtf8(out, rtl::LowerCodePoint(rtl::NextCodePoint(S, pos)));
  // A leading "@" asks for the vertical variant of a face; the face is the same.
  if (!out.empty() && out[0] == '@') out.erase(0, 1);
  return out;
}

struct TPatternDeleter {
  void operator()(FcPattern* P) const { FcPatternDestroy(P); }
};
using TPattern = std::unique_ptr<FcPattern, TPatternDeleter>;

FcConfig* Config() {
  static FcConfig* config = [] {
    if (!FcInit()) throw EOutOfResources("Cannot start the font configuration");
    return FcConfigGetCurrent();
  }();
  return config;
}

int FcWeightOf(int Weight) { return FcWeightFromOpenType(std::clamp(Weight <= 0 ? 400 : Weight, 1, 1000)); }

std::string StringOf(FcPattern* P, const char* Object) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(P, Object, 0, &s) != FcResultMatch || !s) return {};
  return reinterpret_cast<const char*>(s);
}

// Runs a fontconfig match; with RequireFamily the match counts only when it is of that family
// (fontconfig answers its best guess for any name).
TFaceFile Match(TPattern Pattern, int Weight, bool Italic, const std::string& RequireFamily) {
  FcPatternAddBool(Pattern.get(), FC_SCALABLE, FcTrue);
  FcPatternAddInteger(Pattern.get(), FC_WEIGHT, FcWeightOf(Weight));
  FcPatternAddInteger(Pattern.get(), FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(Config(), Pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(Pattern.get());
  FcResult result;
  TPattern found(FcFontMatch(Config(), Pattern.get(), &result));
  if (!found) return {};
  TFaceFile face;
  face.Path = StringOf(found.get(), FC_FILE);
  if (face.Path.empty()) return {};
  if (!RequireFamily.empty()) {
    bool same = false;
    FcChar8* fam = nullptr;
    for (int i = 0; FcPatternGetString(found.get(), FC_FAMILY, i, &fam) == FcResultMatch; ++i)
      same |= Lower(reinterpret_cast<const char*>(fam)) == Lower(RequireFamily);
    if (!same) return {};
  }
  face.Family = StringOf(found.get(), FC_FAMILY);
  FcPatternGetInteger(found.get(), FC_INDEX, 0, &face.Index);
  int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
  FcPatternGetInteger(found.get(), FC_WEIGHT, 0, &weight);
  FcPatternGetInteger(found.get(), FC_SLANT, 0, &slant);
  // fontconfig's own rules may already have marked the match for emboldening or slanting
  // (and then report the asked-for style): those are synthesised here too.
  FcBool embolden = FcFalse;
  FcPatternGetBool(found.get(), FC_EMBOLDEN, 0, &embolden);
  FcMatrix* matrix = nullptr;
  const bool slanted = FcPatternGetMatrix(found.get(), FC_MATRIX, 0, &matrix) == FcResultMatch && matrix &&
                       matrix->xy != 0;
  face.SynthesizeBold = Weight >= 600 && (weight < FC_WEIGHT_DEMIBOLD || embolden);
  face.SynthesizeItalic = Italic && (slant == FC_SLANT_ROMAN || slanted);
  return face;
}

TFaceFile MatchFamily(const std::string& Family, int Weight, bool Italic) {
  const size_t colon = Family.find(':');
  if (colon != std::string::npos) {
    // A generic name with a language ("sans-serif:lang=zh-cn").
    TPattern p(FcNameParse(reinterpret_cast<const FcChar8*>(Family.c_str())));
    return p ? Match(std::move(p), Weight, Italic, "") : TFaceFile{};
  }
  TPattern p(FcPatternCreate());
  FcPatternAddString(p.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(Family.c_str()));
  const bool generic = Family == "sans-serif" || Family == "serif" || Family == "monospace";
  return Match(std::move(p), Weight, Italic, generic ? "" : Family);
}

TFaceFile FirstOf(const std::vector<std::string>& Families, int Weight, bool Italic) {
  for (const std::string& f : Families) {
    TFaceFile face = MatchFamily(f, Weight, Italic);
    if (!face.Path.empty()) return face;
  }
  return {};
}

const std::vector<std::string>& CandidatesFor(const std::string& LowerName) {
  if (kChineseHalfWidthNames.count(LowerName)) return kChineseHalfWidthFamilies;
  if (kChineseNames.count(LowerName)) return kChineseFamilies;
  if (kMonoNames.count(LowerName)) return kMonoFamilies;
  if (kSerifNames.count(LowerName)) return kSerifFamilies;
  return kSansFamilies;
}

}  // namespace

bool IsChineseFamily(const std::string& Family) { return kChineseNames.count(Lower(Family)) != 0; }

bool IsHalfWidthChineseFamily(const std::string& Family) { return kChineseHalfWidthNames.count(Lower(Family)) != 0; }

char FamilyKind(const std::string& Family) {
  const std::string name = Lower(Family);
  if (kMonoNames.count(name) || name.find("mono") != std::string::npos) return 'm';
  if (kSerifNames.count(name) || (name.find("serif") != std::string::npos && name.find("sans") == std::string::npos))
    return 'r';
  return 's';
}

TFaceFile MatchFace(const std::string& Family, int Weight, bool Italic) {
  using TKey = std::tuple<std::string, int, bool>;
  static std::map<TKey, TFaceFile> cache;
  const TKey key{Family, Weight, Italic};
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  const std::string name = Lower(Family);
  const bool known = kSansNames.count(name) || kSerifNames.count(name) || kMonoNames.count(name) ||
                     kChineseNames.count(name);
  TFaceFile face;
  if (!known) face = MatchFamily(Family.front() == '@' ? Family.substr(1) : Family, Weight, Italic);
  if (face.Path.empty()) face = FirstOf(CandidatesFor(name), Weight, Italic);
  if (face.Path.empty()) face = FirstOf(kSansFamilies, Weight, Italic);
  if (face.Path.empty()) throw EOutOfResources("No scalable font is installed");
  return cache[key] = face;
}

const std::vector<TFaceFile>& FallbackFaces(int Weight, bool Italic) {
  static std::map<std::pair<int, bool>, std::vector<TFaceFile>> cache;
  auto [it, added] = cache.try_emplace({Weight, Italic});
  if (added) {
    for (const auto* list : {&kChineseFamilies, &kWideCoverageFamilies}) {
      TFaceFile face = FirstOf(*list, Weight, Italic);
      if (!face.Path.empty() && std::find(it->second.begin(), it->second.end(), face) == it->second.end())
        it->second.push_back(face);
    }
  }
  return it->second;
}

TFaceFile MatchFaceForChar(char32_t Char, int Weight, bool Italic) {
  // Asked once per character and style: text full of a character no face has stays fast.
  static std::map<std::tuple<char32_t, int, bool>, TFaceFile> cache;
  const auto key = std::make_tuple(Char, Weight, Italic);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  if (cache.size() >= 4096) cache.clear();
  TPattern p(FcPatternCreate());
  FcCharSet* set = FcCharSetCreate();
  FcCharSetAddChar(set, Char);
  FcPatternAddCharSet(p.get(), FC_CHARSET, set);
  FcCharSetDestroy(set);
  return cache[key] = Match(std::move(p), Weight, Italic, "");
}

std::vector<std::string> FontFamilies() {
  std::set<std::string> names;
  TPattern p(FcPatternCreate());
  FcPatternAddBool(p.get(), FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(Config(), p.get(), objects);
  FcObjectSetDestroy(objects);
  if (fonts) {
    for (int i = 0; i < fonts->nfont; ++i) {
      std::string family = StringOf(fonts->fonts[i], FC_FAMILY);
      if (!family.empty()) names.insert(family);
    }
    FcFontSetDestroy(fonts);
  }
  for (const char* alias : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial", "Verdana", "System",
                            "Times New Roman", "Courier New", "宋体", "新宋体", "黑体", "微软雅黑"})
    names.insert(alias);
  return {names.begin(), names.end()};
}

}  // namespace gdi

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps a few blocks of its parsed configuration unreachable for the life of the
// process; the leak checker of sanitizer builds is told so instead of failing every program
// that draws text. Weak, so that a test program with suppressions of its own keeps them.
extern "C" __attribute__((weak)) const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" __attribute__((weak)) const char* __lsan_default_options() { return "print_suppressions=0"; }
#endif
