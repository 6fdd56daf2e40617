#include "platform/gdi/TextLayout.h"

#include <algorithm>

#include "platform/rtl/Strings.h"

namespace gdi {
namespace {

const std::u32string kEllipsis = U"...";

// A line being laid out: its characters and, for each, its index in the text without
// prefixes (-1 for characters of an ellipsis), so the access key can be found again.
struct TWorkLine {
  std::u32string Text;
  std::vector<int> Source;
};

bool IsCjk(char32_t C) {
  return (C >= 0x2E80 && C <= 0x9FFF) || (C >= 0xAC00 && C <= 0xD7AF) || (C >= 0xF900 && C <= 0xFAFF) ||
         (C >= 0xFE30 && C <= 0xFE4F) || (C >= 0xFF00 && C <= 0xFFEF) || (C >= 0x20000 && C <= 0x2FFFF);
}

// Closing punctuation stays on the line of the character before it; opening punctuation on
// the line of the character after it.
bool NoBreakBefore(char32_t C) {
  return std::u32string_view(U"，。、；：？！）」』》】〉”’…—·,.;:!?)]}%").find(C) != std::u32string_view::npos;
}
bool NoBreakAfter(char32_t C) { return std::u32string_view(U"（「『《【〈“‘([{$").find(C) != std::u32string_view::npos; }

bool CanBreakBetween(char32_t Prev, char32_t C) {
  if (Prev == ' ' || C == ' ') return false;
  return (IsCjk(Prev) || IsCjk(C)) && !NoBreakBefore(C) && !NoBreakAfter(Prev);
}

class TMeasure {
 public:
  TMeasure(TRealFont& Font, const TTextFormat& F) : FFont(Font), FExtra(F.CharExtra) {
    if (F.ExpandTabs) FTab = std::max(1, (F.TabLength > 0 ? F.TabLength : 8) * Font.Metrics().AveCharWidth);
  }
  int Advance(char32_t C, int X) const {
    if (C == '\t' && FTab > 0) return (X / FTab + 1) * FTab - X;
    return FFont.Advance(C) + FExtra;
  }
  // Pen positions of S from 0 (PenX gets one more entry: the end).
  int Run(const std::u32string& S, std::vector<int>* PenX) const {
    int x = 0;
    if (PenX) PenX->clear();
    for (char32_t c : S) {
      if (PenX) PenX->push_back(x);
      x += Advance(c, x);
    }
    if (PenX) PenX->push_back(x);
    return x;
  }

 private:
  TRealFont& FFont;
  int FExtra;
  int FTab = 0;
};

// The text without "&" prefixes: "&&" is one "&", a single "&" underlines the character
// after it (the last such character when there are several), a trailing "&" is dropped.
std::u32string StripPrefixes(const std::u32string& In, int& AccessKey) {
  std::u32string out;
  out.reserve(In.size());
  for (size_t i = 0; i < In.size(); ++i) {
    if (In[i] != '&') {
      out.push_back(In[i]);
      continue;
    }
    if (i + 1 >= In.size()) break;
    if (In[i + 1] != '&') AccessKey = static_cast<int>(out.size());
    out.push_back(In[++i]);
  }
  return out;
}

TWorkLine Slice(const std::u32string& T, size_t Begin, size_t End) {
  TWorkLine l;
  l.Text = T.substr(Begin, End - Begin);
  for (size_t i = Begin; i < End; ++i) l.Source.push_back(static_cast<int>(i));
  return l;
}

// Breaks the paragraph [Begin, End) of T into lines no wider than Avail where it can.
void Wrap(const std::u32string& T, size_t Begin, size_t End, int Avail, bool CharBreak, const TMeasure& M,
          std::vector<TWorkLine>& Out) {
  size_t start = Begin;
  while (true) {
    int x = 0;
    size_t breakEnd = 0, breakNext = 0;
    bool broke = false;
    for (size_t i = start; i < End; ++i) {
      const char32_t c = T[i];
      if (c == ' ' && i > start && T[i - 1] != ' ') {
        breakEnd = i;
        breakNext = i;
        while (breakNext < End && T[breakNext] == ' ') ++breakNext;
      } else if (i > start && CanBreakBetween(T[i - 1], c)) {
        breakEnd = breakNext = i;
      }
      const int w = M.Advance(c, x);
      if (x + w > Avail && i > start && c != ' ') {
        if (breakEnd > start) {
          Out.push_back(Slice(T, start, breakEnd));
          start = breakNext;
          broke = true;
          break;
        }
        if (CharBreak) {
          Out.push_back(Slice(T, start, i));
          start = i;
          broke = true;
          break;
        }
      }
      x += w;
    }
    if (!broke) {
      Out.push_back(Slice(T, start, End));
      return;
    }
    while (start < End && T[start] == ' ') ++start;
    if (start >= End) return;
  }
}

// The longest start of L that fits Avail together with an ellipsis after it.
TWorkLine EndEllipsis(const TWorkLine& L, int Avail, const TMeasure& M) {
  std::vector<int> pen;
  M.Run(L.Text, &pen);
  const int ellipsis = M.Run(kEllipsis, nullptr);
  size_t keep = L.Text.size();
  while (keep > 0 && pen[keep] + ellipsis > Avail) --keep;
  TWorkLine out;
  out.Text = L.Text.substr(0, keep) + kEllipsis;
  out.Source.assign(L.Source.begin(), L.Source.begin() + keep);
  out.Source.resize(out.Text.size(), -1);
  return out;
}

// An ellipsis in place of the end of the folder part, keeping the last path element whole
// where it fits.
TWorkLine PathEllipsis(const TWorkLine& L, int Avail, const TMeasure& M) {
  const size_t sep = L.Text.find_last_of(U"\\/");
  if (sep == std::u32string::npos) return EndEllipsis(L, Avail, M);
  std::vector<int> pen;
  M.Run(L.Text, &pen);
  const int tail = M.Run(L.Text.substr(sep), nullptr);
  const int ellipsis = M.Run(kEllipsis, nullptr);
  size_t keep = sep;
  while (keep > 0 && pen[keep] + ellipsis + tail > Avail) --keep;
  TWorkLine out;
  out.Text = L.Text.substr(0, keep) + kEllipsis + L.Text.substr(sep);
  out.Source.assign(L.Source.begin(), L.Source.begin() + keep);
  out.Source.resize(keep + kEllipsis.size(), -1);
  out.Source.insert(out.Source.end(), L.Source.begin() + sep, L.Source.end());
  if (pen[keep] + ellipsis + tail > Avail) return EndEllipsis(out, Avail, M);
  return out;
}

}  // namespace

int MeasureRun(TRealFont& Font, const std::u32string& Text, int CharExtra, std::vector<int>* PenX) {
  int x = 0;
  if (PenX) PenX->clear();
  for (char32_t c : Text) {
    if (PenX) PenX->push_back(x);
    x += Font.Advance(c) + CharExtra;
  }
  return x;
}

TTextLayout LayoutText(TRealFont& Font, std::string_view Text, const TRect& Rect, const TTextFormat& F) {
  TTextLayout out;
  const TFontMetrics& fm = Font.Metrics();
  out.LineHeight = fm.Height + (F.ExternalLeading ? fm.ExternalLeading : 0);
  const TMeasure measure(Font, F);
  int accessKey = -1;
  const std::u32string all = CodePoints(Text);
  const std::u32string t = F.NoPrefix ? all : StripPrefixes(all, accessKey);
  const int avail = Rect.Width() - F.LeftMargin - F.RightMargin;

  // Paragraphs end at CR LF, LF or CR; a line end at the very end opens no new line.
  std::vector<TWorkLine> lines;
  size_t begin = 0;
  while (begin < t.size()) {
    size_t end = F.SingleLine ? t.size() : t.find_first_of(U"\r\n", begin);
    if (end == std::u32string::npos) end = t.size();
    if (F.WordBreak && !F.SingleLine)
      Wrap(t, begin, end, avail, F.EditControl, measure, lines);
    else
      lines.push_back(Slice(t, begin, end));
    begin = end;
    if (begin < t.size() && t[begin] == '\r') ++begin;
    if (begin < t.size() && t[begin] == '\n') ++begin;
  }

  // Text below the rectangle: an edit control shows no partly visible line; with an end
  // ellipsis the last line that fits takes the rest of the text and ends in "...".
  bool shortened = false;
  if (!F.CalcRect && !F.SingleLine && out.LineHeight > 0 && !lines.empty()) {
    const size_t fit = static_cast<size_t>(std::max(0, Rect.Height()) / out.LineHeight);
    const size_t visible = std::max<size_t>(1, fit);
    if (lines.size() > visible && (F.EndEllipsis || F.PathEllipsis)) {
      TWorkLine& last = lines[visible - 1];
      const size_t from = last.Source.empty() ? t.size() : static_cast<size_t>(last.Source.front());
      last = Slice(t, from, t.size());
      std::replace_if(last.Text.begin(), last.Text.end(), [](char32_t c) { return c == '\r' || c == '\n'; }, U' ');
      lines.resize(visible);
      lines.back() = EndEllipsis(lines.back(), avail, measure);
      shortened = true;
    } else if (F.EditControl && lines.size() > visible) {
      lines.resize(visible);
    }
  }
  if (F.EndEllipsis || F.PathEllipsis || F.WordEllipsis) {
    for (size_t i = 0; i < lines.size(); ++i) {
      TWorkLine& l = lines[i];
      // A wrapped word too long for its line is cut without an ellipsis, unless it ends the
      // text or word ellipses are asked for.
      if (F.WordBreak && !F.SingleLine && !F.WordEllipsis && i + 1 < lines.size()) continue;
      if (measure.Run(l.Text, nullptr) <= avail) continue;
      l = F.PathEllipsis ? PathEllipsis(l, avail, measure) : EndEllipsis(l, avail, measure);
      shortened = true;
    }
  }

  int widest = 0;
  int y = Rect.Top;
  if (F.SingleLine && F.VAlign == TTextFormat::vaCenter) y = Rect.Top + (Rect.Height() - out.LineHeight) / 2;
  if (F.SingleLine && F.VAlign == TTextFormat::vaBottom) y = Rect.Bottom - out.LineHeight;
  for (const TWorkLine& w : lines) {
    TTextLine line;
    line.Text = w.Text;
    std::vector<int> pen;
    line.Width = measure.Run(w.Text, &pen);
    pen.pop_back();
    line.PenX = std::move(pen);
    widest = std::max(widest, line.Width);
    int x = Rect.Left + F.LeftMargin;
    if (F.HAlign == TTextFormat::haCenter) x += (avail - line.Width) / 2;
    if (F.HAlign == TTextFormat::haRight) x = Rect.Right - F.RightMargin - line.Width;
    line.Origin = {x, y};
    if (accessKey >= 0 && !F.HidePrefix)
      for (size_t i = 0; i < w.Source.size(); ++i)
        if (w.Source[i] == accessKey) {
          line.UnderlineFrom = line.PenX[i];
          line.UnderlineTo = line.PenX[i] + Font.Advance(w.Text[i]);
        }
    out.CharsDrawn += static_cast<int>(w.Text.size());
    out.Lines.push_back(std::move(line));
    y += out.LineHeight;
  }
  out.Bounds = {Rect.Left, Rect.Top, Rect.Left + F.LeftMargin + widest + F.RightMargin,
                Rect.Top + static_cast<int>(lines.size()) * out.LineHeight};
  const bool placed = F.SingleLine && F.VAlign != TTextFormat::vaTop && !F.CalcRect && !out.Lines.empty();
  out.Result = placed ? y - Rect.Top : out.Bounds.Height();
  if (shortened) {
    for (size_t i = 0; i < out.Lines.size(); ++i) {
      if (i) out.Modified += "\r\n";
      for (char32_t c : out.Lines[i].Text) rtl::AppendUtf8(out.Modified, c);
    }
  } else {
    out.Modified = std::string(Text);
  }
  return out;
}

}  // namespace gdi
