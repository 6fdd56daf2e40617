#include "platform/gdi/TextLayout.h"

#include <gtest/gtest.h>

#include "platform/rtl/Strings.h"

using namespace gdi;

namespace {

TRealFont& Sans() {
  static std::shared_ptr<TRealFont> font = [] {
    TFontRequest r;
    r.Family = "Tahoma", r.Height = -13;
    return TRealFont::Realize(r);
  }();
  return *font;
}

int Width(const std::string& Text) { return MeasureRun(Sans(), CodePoints(Text), 0); }

std::string Utf8(const std::u32string& S) {
  std::string out;
  for (char32_t c : S) rtl::AppendUtf8(out, c);
  return out;
}

std::vector<std::string> Lines(const TTextLayout& L) {
  std::vector<std::string> out;
  for (const TTextLine& l : L.Lines) out.push_back(Utf8(l.Text));
  return out;
}

TTextLayout Lay(const std::string& Text, TRect R, TTextFormat F = {}) { return LayoutText(Sans(), Text, R, F); }

}  // namespace

TEST(TextLayout, AlignmentMarginsAndResult) {
  const int w = Width("Text"), lh = Sans().Metrics().Height;
  const TRect r(10, 20, 210, 120);
  struct {
    TTextFormat::THAlign H;
    TTextFormat::TVAlign V;
    TPoint Origin;
    int Result;
  } cases[] = {
      {TTextFormat::haLeft, TTextFormat::vaTop, {10 + 4, 20}, lh},
      {TTextFormat::haRight, TTextFormat::vaTop, {210 - 6 - w, 20}, lh},
      {TTextFormat::haCenter, TTextFormat::vaTop, {14 + (190 - w) / 2, 20}, lh},
      {TTextFormat::haLeft, TTextFormat::vaCenter, {14, 20 + (100 - lh) / 2}, (100 - lh) / 2 + lh},
      {TTextFormat::haLeft, TTextFormat::vaBottom, {14, 120 - lh}, 100},
  };
  for (auto c : cases) {
    TTextFormat f;
    f.SingleLine = true, f.HAlign = c.H, f.VAlign = c.V, f.LeftMargin = 4, f.RightMargin = 6;
    const TTextLayout l = Lay("Text", r, f);
    ASSERT_EQ(l.Lines.size(), 1u);
    EXPECT_EQ(l.Lines[0].Origin, c.Origin);
    EXPECT_EQ(l.Result, c.Result);
    EXPECT_EQ(l.Bounds, TRect(10, 20, 10 + 4 + w + 6, 20 + lh));
  }
  // Measuring answers the height whatever the placement.
  TTextFormat calc;
  calc.SingleLine = calc.CalcRect = true, calc.VAlign = TTextFormat::vaBottom;
  EXPECT_EQ(Lay("Text", r, calc).Result, lh);
  // Without single-line, vertical centring does not apply.
  TTextFormat f;
  f.VAlign = TTextFormat::vaBottom;
  EXPECT_EQ(Lay("Text", r, f).Lines[0].Origin.Y, 20);
}

TEST(TextLayout, LineEndsAndWordBreaks) {
  const TRect wide(0, 0, 1000, 1000);
  EXPECT_EQ(Lines(Lay("a\r\nb\nc\rd\n", wide)), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(Lines(Lay("a\n\nb", wide)), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(Lay("", wide).Lines.empty());
  EXPECT_EQ(Lay("", wide).Result, 0);
  TTextFormat single;
  single.SingleLine = true;
  EXPECT_EQ(Lay("a\nb", wide, single).Lines.size(), 1u);

  TTextFormat wrap;
  wrap.WordBreak = true;
  const TRect narrow(0, 0, Width("aaa bbb"), 1000);
  EXPECT_EQ(Lines(Lay("aaa bbb  ccc", narrow, wrap)), (std::vector<std::string>{"aaa bbb", "ccc"}));
  // A word longer than the line stays whole (and is clipped), unless edit-control rules
  // break it between characters.
  const TRect tiny(0, 0, Width("aa"), 1000);
  EXPECT_EQ(Lines(Lay("abcdef gh", tiny, wrap)), (std::vector<std::string>{"abcdef", "gh"}));
  wrap.EditControl = true;
  EXPECT_EQ(Lines(Lay("aaaaa", tiny, wrap)), (std::vector<std::string>{"aa", "aa", "a"}));
  wrap.EditControl = false;
  // Chinese breaks between characters, never before closing punctuation.
  const TRect three(0, 0, Width("你好世"), 1000);
  EXPECT_EQ(Lines(Lay("你好世界你好世界", three, wrap)), (std::vector<std::string>{"你好世", "界你好", "世界"}));
  const TRect two(0, 0, Width("你好"), 1000);
  for (const std::string& line : Lines(Lay("你好，世界。再见", two, wrap)))
    EXPECT_NE(line.rfind("，", 0), 0u) << line;
  // Measuring wrapped text: the widest line and every line's height.
  wrap.CalcRect = true;
  const TTextLayout m = Lay("aaa bbb ccc", narrow, wrap);
  EXPECT_EQ(m.Bounds, TRect(0, 0, Width("aaa bbb"), 2 * Sans().Metrics().Height));
  wrap.ExternalLeading = true;
  EXPECT_EQ(Lay("aaa bbb ccc", narrow, wrap).LineHeight, Sans().Metrics().Height + Sans().Metrics().ExternalLeading);
}

TEST(TextLayout, PrefixesAndTabs) {
  const TRect r(0, 0, 500, 100);
  TTextLayout l = Lay("&File", r);
  EXPECT_EQ(Utf8(l.Lines[0].Text), "File");
  EXPECT_EQ(l.Lines[0].UnderlineFrom, 0);
  EXPECT_EQ(l.Lines[0].UnderlineTo, Width("F"));
  l = Lay("Save &As", r);
  EXPECT_EQ(l.Lines[0].UnderlineFrom, Width("Save "));
  l = Lay("a&&b&", r);
  EXPECT_EQ(Utf8(l.Lines[0].Text), "a&b");
  EXPECT_LT(l.Lines[0].UnderlineFrom, 0);
  TTextFormat f;
  f.NoPrefix = true;
  EXPECT_EQ(Utf8(Lay("&File", r, f).Lines[0].Text), "&File");
  f.NoPrefix = false, f.HidePrefix = true;
  l = Lay("&File", r, f);
  EXPECT_EQ(Utf8(l.Lines[0].Text), "File");
  EXPECT_LT(l.Lines[0].UnderlineFrom, 0);

  const int ave = Sans().Metrics().AveCharWidth;
  TTextFormat tabs;
  tabs.ExpandTabs = true;
  EXPECT_EQ(Lay("a\tb", r, tabs).Lines[0].PenX[2], 8 * ave);
  EXPECT_EQ(Lay("a\t\tb", r, tabs).Lines[0].PenX[3], 16 * ave);
  tabs.TabLength = 4;
  EXPECT_EQ(Lay("a\tb", r, tabs).Lines[0].PenX[2], 4 * ave);
  EXPECT_EQ(Lay("a\tb", r).Lines[0].PenX[2], Width("a")) << "tabs have no width unless expanded";
}

TEST(TextLayout, Ellipses) {
  TTextFormat end;
  end.EndEllipsis = end.SingleLine = true;
  const TRect r(0, 0, Width("Hello w"), 20);
  const TTextLayout l = Lay("Hello world", r, end);
  const std::string shown = Utf8(l.Lines[0].Text);
  EXPECT_LE(l.Lines[0].Width, r.Width());
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  // As many characters as fit: one more would not.
  const std::string kept = shown.substr(0, shown.size() - 3);
  EXPECT_GT(Width(std::string("Hello world").substr(0, kept.size() + 1) + "..."), r.Width());
  EXPECT_EQ(l.Modified, shown);
  EXPECT_EQ(Lay("Hi", r, end).Modified, "Hi");
  EXPECT_EQ(Utf8(Lay("Hello world", TRect(0, 0, 1, 20), end).Lines[0].Text), "...");
  EXPECT_EQ(Utf8(Lay("你好世界你好", TRect(0, 0, Width("你好世..."), 20), end).Lines[0].Text), "你好世...");

  TTextFormat path;
  path.PathEllipsis = path.SingleLine = true;
  const std::string file = "C:\\Music\\Shop\\Morning\\opening.mp3";
  const TTextLayout p = Lay(file, TRect(0, 0, Width("C:\\Mu...\\opening.mp3") + 1, 20), path);
  EXPECT_EQ(Utf8(p.Lines[0].Text), "C:\\Mu...\\opening.mp3");
  // When even the file name does not fit, its end goes.
  const std::string tight = Utf8(Lay(file, TRect(0, 0, Width("...\\open"), 20), path).Lines[0].Text);
  EXPECT_EQ(tight.substr(tight.size() - 3), "...");

  // Wrapped text taller than the rectangle: the last line that fits ends in "...", a long
  // word inside the text is only clipped.
  TTextFormat wrap;
  wrap.WordBreak = wrap.EndEllipsis = true;
  const int lh = Sans().Metrics().Height;
  const TTextLayout w = Lay("one two three four five", TRect(0, 0, Width("one two"), 2 * lh), wrap);
  ASSERT_EQ(w.Lines.size(), 2u);
  EXPECT_EQ(Utf8(w.Lines[0].Text), "one two");
  const std::string second = Utf8(w.Lines[1].Text);
  EXPECT_EQ(second.substr(second.size() - 3), "...");
  EXPECT_EQ(second.rfind("thr", 0), 0u);
  const TTextLayout longWord = Lay("extraordinarily long", TRect(0, 0, Width("long"), 10 * lh), wrap);
  EXPECT_EQ(Lines(longWord), (std::vector<std::string>{"extraordinarily", "long"}));
  // Measuring keeps every line.
  wrap.CalcRect = true;
  EXPECT_EQ(Lay("one two three four five", TRect(0, 0, Width("one two"), 2 * lh), wrap).Lines.size(), 3u);
  // Edit-control rules drop a partly visible last line.
  TTextFormat edit;
  edit.WordBreak = edit.EditControl = true;
  EXPECT_EQ(Lay("one two three", TRect(0, 0, Width("one"), lh * 2 + lh / 2), edit).Lines.size(), 2u);
}
