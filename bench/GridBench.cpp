// The data grid over an in-memory dataset of 20 columns on the headless application, at 100
// and at 10,000 rows: a full paint, scrolling a page, moving to the last record, selecting
// all and deleting the selection, each timed on its own. A screen's paint should cost by the
// rows shown, not by the records held.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "grid/DBGridGd.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "tests/support/HeadlessApp.h"

namespace {

constexpr int kColumns = 20;

class GridScene {
 public:
  explicit GridScene(int Rows) : Table(nullptr) {
    for (int c = 0; c < kColumns; ++c) {
      const std::string name = "f" + std::to_string(c);
      if (c % 4 == 0) Table.FieldDefs()->Add(name, ftInteger);
      else if (c % 4 == 1) Table.FieldDefs()->Add(name, ftString, 20);
      else if (c % 4 == 2) Table.FieldDefs()->Add(name, ftBoolean);
      else Table.FieldDefs()->Add(name, ftDateTime);
    }
    Table.CreateDataSet();
    Fill(Rows);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 800, 600);
    Source = new TDataSource(Form.get());
    Grid = new TDBGridGd(Form.get());
    Grid->SetParent(Form.get());
    Grid->SetAlign(alClient);
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
    Source->SetDataSet(&Table);
    Grid->SetDataSource(Source);
    Form->Show();
    App.ProcessMessages();
  }
  void Fill(int Rows) {
    Table.DisableControls();
    for (int r = 0; r < Rows; ++r) {
      Table.Append();
      for (int c = 0; c < kColumns; ++c) {
        TField* field = Table.Fields()->Fields(c);
        if (c % 4 == 0) field->SetAsInteger(r * kColumns + c);
        else if (c % 4 == 1) field->SetAsString("cell " + std::to_string(r) + "/" + std::to_string(c));
        else if (c % 4 == 2) field->SetAsBoolean((r + c) % 2 == 0);
        else field->SetAsDateTime(EncodeTime(r % 24, c, 0, 0));
      }
      Table.Post();
    }
    Table.First();
    Table.EnableControls();
  }
  void Paint() {
    Grid->Invalidate();
    Grid->Update();
  }

  test::THeadlessApp App;
  TMemoryDataSet Table;
  std::unique_ptr<TForm> Form;
  TDataSource* Source = nullptr;
  TDBGridGd* Grid = nullptr;
};

void BM_FullPaint(benchmark::State& State) {
  GridScene scene(static_cast<int>(State.range(0)));
  for (auto _ : State) scene.Paint();
  State.counters["rows shown"] = scene.Grid->DataLink()->RecordCount();
}

void BM_ScrollPage(benchmark::State& State) {
  GridScene scene(static_cast<int>(State.range(0)));
  const int page = scene.Grid->VisibleDataRowCount();
  bool down = true;
  for (auto _ : State) {
    scene.Table.MoveBy(down ? page : -page);
    scene.Grid->Update();
    if (scene.Table.Eof() || scene.Table.Bof()) down = !down;
  }
}

void BM_MoveToLast(benchmark::State& State) {
  GridScene scene(static_cast<int>(State.range(0)));
  for (auto _ : State) {
    State.PauseTiming();
    scene.Table.First();
    scene.Grid->Update();
    State.ResumeTiming();
    scene.Table.Last();
    scene.Grid->Update();
  }
}

void BM_SelectAll(benchmark::State& State) {
  GridScene scene(static_cast<int>(State.range(0)));
  for (auto _ : State) {
    State.PauseTiming();
    scene.Grid->SelectedRows()->Clear();
    scene.Grid->Update();
    State.ResumeTiming();
    scene.Grid->SelectedRows()->SelectAll();
    scene.Grid->Update();
  }
}

void BM_DeleteSelection(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  GridScene scene(rows);
  for (auto _ : State) {
    State.PauseTiming();
    if (scene.Table.RecordCount() == 0) scene.Fill(rows);
    scene.Grid->SelectedRows()->SelectAll();
    scene.Grid->Update();
    State.ResumeTiming();
    scene.Grid->SelectedRows()->Delete();
    scene.Grid->Update();
  }
  State.counters["records left"] = scene.Table.RecordCount();
}

BENCHMARK(BM_FullPaint)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveToLast)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectAll)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DeleteSelection)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
