#include <gtest/gtest.h>

#include "GraphicsTest.h"

using namespace graphicstest;

TEST(GraphicsObjects, DefaultsAreThePlatformsOwn) {
  TFont f;
  EXPECT_EQ(f.Name(), "MS Sans Serif");
  EXPECT_EQ(f.Size(), 8);
  EXPECT_EQ(f.Height(), -11);
  EXPECT_EQ(f.Color(), clWindowText);
  EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
  EXPECT_EQ(f.Pitch(), fpDefault);
  EXPECT_TRUE(f.Style().Empty());
  EXPECT_EQ(f.PixelsPerInch(), 96);
  TPen p;
  EXPECT_EQ(p.Color(), clBlack);
  EXPECT_EQ(p.Width(), 1);
  EXPECT_EQ(p.Style(), psSolid);
  EXPECT_EQ(p.Mode(), pmCopy);
  TBrush b;
  EXPECT_EQ(b.Color(), clWhite);
  EXPECT_EQ(b.Style(), bsSolid);
}

TEST(GraphicsObjects, ChangesRaiseOnChangeOnceAndOnlyWhenSomethingChanged) {
  TFont f;
  int changes = 0;
  f.OnChange = [&](TObject* Sender) { changes += Sender == &f; };
  f.SetColor(clRed);
  f.SetColor(clRed);
  f.SetStyle({fsBold, fsItalic});
  f.SetSize(8);  // already 8 points
  f.SetName("Arial");
  f.SetCharset(GB2312_CHARSET);
  f.SetPitch(fpFixed);
  EXPECT_EQ(changes, 5);

  TPen p;
  TBrush b;
  int penChanges = 0, brushChanges = 0;
  p.OnChange = [&](TObject*) { ++penChanges; };
  b.OnChange = [&](TObject*) { ++brushChanges; };
  p.SetWidth(3);
  p.SetStyle(psDot);
  p.SetMode(pmXor);
  p.SetColor(clBlack);
  b.SetStyle(bsClear);
  b.SetColor(clRed);  // a colour makes a clear brush solid again
  EXPECT_EQ(penChanges, 3);
  EXPECT_EQ(brushChanges, 2);
  EXPECT_EQ(b.Style(), bsSolid);
}

TEST(GraphicsObjects, SizeAndHeightFollowPixelsPerInch) {
  struct TCase {
    int Size;
    int Ppi;
    int Height;
  };
  for (const TCase& c : {TCase{8, 96, -11}, TCase{9, 96, -12}, TCase{12, 96, -16}, TCase{8, 120, -13}}) {
    TFont f;
    f.SetPixelsPerInch(c.Ppi);
    f.SetSize(c.Size);
    EXPECT_EQ(f.Height(), c.Height) << c.Size << "pt at " << c.Ppi;
    EXPECT_EQ(f.Size(), c.Size);
  }
  // Assigning across resolutions keeps the point size.
  TFont screen, printer;
  printer.SetPixelsPerInch(192);
  screen.SetSize(10);
  printer.Assign(&screen);
  EXPECT_EQ(printer.Size(), 10);
  EXPECT_EQ(printer.Height(), -27);
}

TEST(GraphicsObjects, HandlesDescribeTheObjectAndAreRemadeAfterAChange) {
  TFont f;
  f.SetName("Default");
  f.SetStyle({fsBold, fsUnderline});
  f.SetHeight(-15);
  LOGFONT lf;
  ASSERT_TRUE(GetObject(f.Handle(), sizeof lf, &lf));
  EXPECT_EQ(lf.lfFaceName, "MS Sans Serif") << "Default names the default face";
  EXPECT_EQ(lf.lfHeight, -15);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfItalic, 0);
  HFONT first = f.Handle();
  EXPECT_EQ(f.Handle(), first) << "made once";
  f.SetColor(clRed);
  EXPECT_EQ(f.Handle(), first) << "the colour is not part of the font object";
  f.SetHeight(-20);
  EXPECT_NE(f.Handle(), first);
  EXPECT_EQ(GetObjectType(first), 0u) << "the old object is freed";

  TPen p;
  p.SetColor(clBlue);
  p.SetWidth(2);
  LOGPEN lp;
  ASSERT_TRUE(GetObject(p.Handle(), sizeof lp, &lp));
  EXPECT_EQ(lp.lopnColor, RGB(0, 0, 255));
  EXPECT_EQ(lp.lopnWidth.X, 2);
  TBrush b;
  b.SetStyle(bsDiagCross);
  LOGBRUSH lb;
  ASSERT_TRUE(GetObject(b.Handle(), sizeof lb, &lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_HATCHED));
  EXPECT_EQ(lb.lbHatch, static_cast<uintptr_t>(HS_DIAGCROSS));
}

TEST(GraphicsObjects, AssignedObjectsShareAHandleUntilOneChanges) {
  TFont a, b;
  a.SetName("Courier New");
  b.Assign(&a);
  EXPECT_EQ(b.Name(), "Courier New");
  EXPECT_EQ(a.Handle(), b.Handle());
  b.SetStyle({fsItalic});
  EXPECT_NE(a.Handle(), b.Handle());
  EXPECT_NE(GetObjectType(a.Handle()), 0u) << "the first one still holds its object";
  TPen p, q;
  p.SetColor(clRed);
  q.Assign(&p);
  EXPECT_EQ(q.Color(), clRed);
  EXPECT_EQ(q.Handle(), p.Handle());
  EXPECT_THROW(p.Assign(&a), EConvertError);
}

TEST(GraphicsObjects, AFontHandleSetAndRestoredComesBack) {
  // What painting code does to draw rotated text: save the handle, set a rotated one, restore.
  TFont owner;
  owner.SetName("Arial");
  owner.SetHeight(-13);
  TFont canvasFont;
  canvasFont.Assign(&owner);
  HFONT saved = canvasFont.Handle();
  LOGFONT lf = canvasFont.LogFont();
  lf.lfEscapement = 900;
  HFONT rotated = CreateFontIndirect(&lf);
  canvasFont.SetHandle(rotated);
  EXPECT_EQ(canvasFont.Handle(), rotated) << "used as it is";
  EXPECT_EQ(canvasFont.Height(), -13);
  canvasFont.SetHandle(saved);
  EXPECT_EQ(canvasFont.Handle(), saved);
  EXPECT_EQ(GetObjectType(rotated), 0u) << "the rotated font was freed with its last holder";
  LOGFONT back;
  ASSERT_TRUE(GetObject(canvasFont.Handle(), sizeof back, &back));
  EXPECT_EQ(back.lfEscapement, 0);

  // A handle that is no longer a font drops the adopted object: the next is made from the description.
  TFont alone;
  HFONT mine = CreateFontIndirect(&lf);
  alone.SetHandle(mine);
  alone.SetHandle(rotated);  // freed above
  EXPECT_EQ(GetObjectType(mine), 0u);
  ASSERT_TRUE(GetObject(alone.Handle(), sizeof back, &back));
  EXPECT_EQ(back.lfEscapement, 0);
  EXPECT_EQ(back.lfHeight, -13);
}

TEST(GraphicsObjects, ColoursCharsetsAndCursorsReadAndWriteByName) {
  struct TCase {
    TColor Color;
    const char* Text;
  };
  for (const TCase& c : {TCase{clRed, "clRed"}, TCase{clBtnFace, "clBtnFace"}, TCase{clNone, "clNone"},
                         TCase{clWindowText, "clWindowText"}, TCase{0x0080FF40, "$0080FF40"},
                         TCase{clSilver, "clSilver"}}) {
    EXPECT_EQ(ColorToString(c.Color), c.Text);
    EXPECT_EQ(StringToColor(c.Text), c.Color);
  }
  EXPECT_EQ(StringToColor("clltgray"), clSilver) << "names ignore case; the second name of a value reads";
  EXPECT_EQ(StringToColor("255"), clRed);
  EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);
  TColor color = 0;
  EXPECT_FALSE(IdentToColor("$FF", color));

  int value = 0;
  std::string name;
  EXPECT_TRUE(IdentToCharset("GB2312_CHARSET", value));
  EXPECT_EQ(value, GB2312_CHARSET);
  EXPECT_TRUE(CharsetToIdent(DEFAULT_CHARSET, name));
  EXPECT_EQ(name, "DEFAULT_CHARSET");
  EXPECT_TRUE(IdentToCursor("crHandPoint", value));
  EXPECT_EQ(value, crHandPoint);
  EXPECT_TRUE(CursorToIdent(-22, name));
  EXPECT_EQ(name, "crSizeAll");
  EXPECT_FALSE(CursorToIdent(5, name));
}
