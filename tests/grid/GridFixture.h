#pragma once
// A data grid on a shown form over an in-memory dataset of numbered rows: "id" (integer),
// "name" (string), "use" (Boolean), "price" (float) and "when" (date-time).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "grid/DBGridGd.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace gridtest {

class GridTest : public test::HeadlessTest {
 protected:
  explicit GridTest(int Rows = 20, int Width = 300, int Height = 200) {
    Table.FieldDefs()->Add("id", ftInteger);
    Table.FieldDefs()->Add("name", ftString, 20);
    Table.FieldDefs()->Add("use", ftBoolean);
    Table.FieldDefs()->Add("price", ftFloat);
    Table.FieldDefs()->Add("when", ftDateTime);
    Table.CreateDataSet();
    AddRows(Rows);
    Table.First();
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, Width, Height);
    Source = new TDataSource(Form.get());
    Source->SetDataSet(&Table);
    Grid = new TDBGridGd(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, Width, Height);
    Grid->SetDataSource(Source);
    Form->Show();
    App.ProcessMessages();
  }
  ~GridTest() override { Form.reset(); }
  void AddRows(int Count) {
    const int first = Table.RecordCount();
    for (int i = first; i < first + Count; ++i) {
      Table.Append();
      Table.FieldByName("id")->SetAsInteger(i + 1);
      Table.FieldByName("name")->SetAsString("row" + std::to_string(i + 1));
      Table.FieldByName("use")->SetAsBoolean(i % 2 == 0);
      Table.FieldByName("price")->SetAsFloat(1.5 * (i + 1));
      Table.FieldByName("when")->SetAsDateTime(EncodeTime(8, i % 60, 0, 0));
      Table.Post();
    }
  }
  // Paints the whole grid now.
  void Paint() {
    Grid->Invalidate();
    Grid->Update();
  }
  std::string CurrentName() { return Table.FieldByName("name")->AsString(); }

  TMemoryDataSet Table{nullptr};
  std::unique_ptr<TForm> Form;
  TDataSource* Source = nullptr;
  TDBGridGd* Grid = nullptr;
};

// A key with Ctrl and Shift held as Shift says, handled at once.
inline void PressKey(test::THeadlessApp& App, test::TInputDriver& Input, UINT Key, TShiftState Shift = {}) {
  if (Shift.Contains(ssCtrl)) Input.KeyDown(VK_CONTROL);
  if (Shift.Contains(ssShift)) Input.KeyDown(VK_SHIFT);
  Input.Key(Key);
  if (Shift.Contains(ssShift)) Input.KeyUp(VK_SHIFT);
  if (Shift.Contains(ssCtrl)) Input.KeyUp(VK_CONTROL);
  App.ProcessMessages();
}

}  // namespace gridtest
