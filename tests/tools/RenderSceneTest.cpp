#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "tests/support/Snapshot.h"

namespace {

int RunRenderScene(const std::string& Arguments) {
  const std::string cmd = std::string("'") + RENDER_SCENE_PATH + "' " + Arguments + " >/dev/null 2>&1";
  const int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

}  // namespace

TEST(RenderScene, DrawsTheSceneItsSnapshotKeeps) {
  // One file per process: test runs of several checkouts may share the temporary folder.
  const std::filesystem::path out =
      std::filesystem::temp_directory_path() / ("ostrovel-render-scene-" + std::to_string(getpid()) + ".png");
  ASSERT_EQ(RunRenderScene("'" + out.string() + "'"), 0);
  const gdi::TSurface scene = test::LoadPng(out.string());
  std::filesystem::remove(out);
  ASSERT_EQ(scene.Width(), 640);
  ASSERT_EQ(scene.Height(), 480);
  // Text goes through the machine's font rasteriser: allow a faint difference at a few
  // hundred antialiased edge pixels, never a changed drawing.
  EXPECT_TRUE(test::MatchesSnapshot(scene, "render-scene", 24, 600));
}

TEST(RenderScene, ReportsMisuseAndUnwritableOutput) {
  EXPECT_EQ(RunRenderScene(""), 2);
  EXPECT_EQ(RunRenderScene("/nonexistent-folder/scene.png"), 1);
}
