// The shell list on the headless application: 10,000 files listed in the report view, sorted
// by name and then by size, and 1,000 files created in a watched folder until the list shows
// them. Each reports its time and the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "controls/shell/FcShellCtrls.h"
#include "tests/support/HeadlessApp.h"

namespace {

namespace fs = std::filesystem;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

class ShellScene {
 public:
  ShellScene() : App(test::LocalDateTime(2026, 1, 5, 8, 0, 0), test::THeadlessApp::RealTime) {
    Folder = fs::path(App.ExeDir()) / "files";
    fs::create_directories(Folder);
    shell::NamespaceEnvironment env;
    env.home = App.ExeDir();
    env.mounts = std::vector<shell::MountEntry>{{"/", "ext4", "/dev/sda1", false}};
    shell::SetNamespaceEnvironment(env);
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 800, 600);
    List = new TFcShellList(Form.get());
    List->SetParent(Form.get());
    List->SetAlign(alClient);
    List->SetViewStyle(vsReport);
    Form->Show();
    App.ProcessMessages();
  }
  ~ShellScene() {
    Form.reset();
    shell::SetNamespaceEnvironment({});
  }
  void MakeFiles(int Count, const std::string& Prefix) {
    for (int i = 0; i < Count; ++i) {
      std::ofstream out(Folder / (Prefix + std::to_string(i) + ".mp3"), std::ios::binary);
      out << std::string(static_cast<size_t>(i % 4096), 'x');
    }
  }
  void Show() {
    LPITEMIDLIST list = nullptr;
    ShellParsePath(Folder.string(), list);
    shell::TIdListPtr owned(list);
    List->Folder()->SetIdList(owned.get());
  }

  test::THeadlessApp App;
  fs::path Folder;
  std::unique_ptr<TForm> Form;
  TFcShellList* List = nullptr;
};

void BM_ListTenThousandFilesSortedByNameThenSize(benchmark::State& State) {
  ShellScene scene;
  scene.MakeFiles(10000, "file ");
  for (auto _ : State) {
    scene.List->Folder()->Clear();
    scene.Show();
    scene.List->SetSortColumn(1);
    scene.List->SetSortColumn(2);
    scene.List->Invalidate();
    scene.List->Update();
  }
  State.counters["items"] = scene.List->Items()->Count();
  State.counters["peak MB"] = PeakMegabytes();
}

void BM_WatchedFolderShowsThousandNewFiles(benchmark::State& State) {
  ShellScene scene;
  int round = 0;
  for (auto _ : State) {
    State.PauseTiming();
    scene.List->Folder()->Clear();
    scene.Show();
    const int before = scene.List->Items()->Count();
    State.ResumeTiming();
    scene.MakeFiles(1000, "new " + std::to_string(round++) + " ");
    while (scene.List->Items()->Count() < before + 1000) scene.App.RunFor(20);
  }
  State.counters["items"] = scene.List->Items()->Count();
  State.counters["peak MB"] = PeakMegabytes();
}

BENCHMARK(BM_ListTenThousandFilesSortedByNameThenSize)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WatchedFolderShowsThousandNewFiles)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
