// WM_PRINTCLIENT with PRF_CLIENT: every windowed control paints its client area into the DC
// it is given, the same picture it shows on the screen, so a transparent control on top of it
// can take over its parent's real look.
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Calendar.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Grids.h"
#include "platform/controls/ListCtrls.h"
#include "platform/controls/ListView.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/Tabs.h"
#include "platform/controls/TreeView.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Pixels.h"

namespace {

using namespace ctltest;

class PrintClientTest : public ControlTest {
 protected:
  // The pixels of Control's client area on the form where they differ from what
  // WM_PRINTCLIENT paints into a white bitmap, as "x,y" (at most a few).
  std::vector<std::string> Differences(TWinControl* Control) {
    const TRect client = Control->ClientRect();
    TPixels printed(client.Width(), client.Height());
    Control->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.DC), PRF_CLIENT);
    const TPoint at = Form->ScreenToClient(Control->ClientOrigin());
    std::vector<std::string> out;
    for (int y = 0; y < client.Height() && out.size() < 4; ++y)
      for (int x = 0; x < client.Width() && out.size() < 4; ++x)
        if (printed.At(x, y) != Pixel(at.X + x, at.Y + y)) out.push_back(std::to_string(x) + "," + std::to_string(y));
    return out;
  }
};

TEST_F(PrintClientTest, EveryWindowedControlPrintsWhatItShows) {
  struct TCase {
    const char* Name;
    std::function<TWinControl*()> Make;
  };
  const TRect box = Bounds(10, 10, 150, 90);
  const std::vector<TCase> cases = {
      {"panel", [&] { auto* c = Make<TPanel>(Form, "P", box); c->SetCaption("Panel"); return c; }},
      {"button", [&] { auto* c = Make<TButton>(Form, "B", box); c->SetCaption("Button"); return c; }},
      {"check box", [&] { auto* c = Make<TCheckBox>(Form, "C", box); c->SetCaption("Check"); c->SetChecked(true); return c; }},
      {"edit", [&] { auto* c = Make<TEdit>(Form, "E", box); c->SetText("Edit text"); return c; }},
      {"memo", [&] { auto* c = Make<TMemo>(Form, "M", box); c->Lines()->Add("one"); c->Lines()->Add("two"); return c; }},
      {"list box", [&] { auto* c = Make<TListBox>(Form, "L", box); c->Items()->Add("first"); c->Items()->Add("second"); c->SetItemIndex(1); return c; }},
      {"scroll bar", [&] { return Make<TScrollBar>(Form, "S", Bounds(10, 10, 150, 17)); }},
      {"tree view", [&] { auto* c = Make<TTreeView>(Form, "T", box); c->Items()->Add(nullptr, "root"); return c; }},
      {"list view", [&] { auto* c = Make<TListView>(Form, "V", box); c->Items()->Add()->SetCaption("item"); return c; }},
      {"tab control", [&] { auto* c = Make<TTabControl>(Form, "Tabs", box); c->Tabs()->Add("One"); c->Tabs()->Add("Two"); return c; }},
      {"string grid", [&] { return Make<TStringGrid>(Form, "G", box); }},
      {"calendar", [&] { return Make<TMonthCalendar>(Form, "Cal", Bounds(10, 10, 220, 160)); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TWinControl* control = c.Make();
    ShowForm();
    EXPECT_EQ(Differences(control), std::vector<std::string>{});
    delete control;
  }
}

}  // namespace
