#include "tests/support/ServiceRecorders.h"

#include <algorithm>

namespace test {

bool MixerRecorder::SetMasterVolume(uint16_t left, uint16_t right) {
  std::lock_guard<std::mutex> g(FLock);
  FValues.emplace_back(left, right);
  return true;
}

std::vector<std::pair<uint16_t, uint16_t>> MixerRecorder::Values() const {
  std::lock_guard<std::mutex> g(FLock);
  return FValues;
}

int MixerRecorder::Last() const {
  std::lock_guard<std::mutex> g(FLock);
  return FValues.empty() ? -1 : FValues.back().first;
}

void MixerRecorder::Clear() {
  std::lock_guard<std::mutex> g(FLock);
  FValues.clear();
}

void LaunchRecorder::Requested(const shell::ShellRequest& request) {
  std::lock_guard<std::mutex> g(FLock);
  FRequests.push_back(request);
}

bool LaunchRecorder::Start(const shell::Command& command, std::string& error) {
  std::lock_guard<std::mutex> g(FLock);
  FCommands.push_back(command);
  if (!FailWith.empty()) {
    error = FailWith;
    return false;
  }
  return true;
}

std::vector<shell::ShellRequest> LaunchRecorder::Requests() const {
  std::lock_guard<std::mutex> g(FLock);
  return FRequests;
}

std::vector<shell::Command> LaunchRecorder::Commands() const {
  std::lock_guard<std::mutex> g(FLock);
  return FCommands;
}

bool TrashRecorder::MoveToTrash(const std::string& path) {
  std::lock_guard<std::mutex> g(FLock);
  FPaths.push_back(path);
  return std::find(Fail.begin(), Fail.end(), path) == Fail.end();
}

std::vector<std::string> TrashRecorder::Paths() const {
  std::lock_guard<std::mutex> g(FLock);
  return FPaths;
}

void TrayRecorder::IconChanged(const shell::TrayIcon& icon) {
  std::lock_guard<std::mutex> g(FLock);
  auto key = std::make_pair(icon.wnd, icon.id);
  bool known = std::find(FKnown.begin(), FKnown.end(), key) != FKnown.end();
  if (!known) FKnown.push_back(key);
  FEvents.push_back((known ? "modify " : "add ") + icon.tip);
}

void TrayRecorder::IconRemoved(const shell::TrayIcon& icon) {
  std::lock_guard<std::mutex> g(FLock);
  FKnown.erase(std::remove(FKnown.begin(), FKnown.end(), std::make_pair(icon.wnd, icon.id)), FKnown.end());
  FEvents.push_back("delete " + icon.tip);
}

void TrayRecorder::BalloonShown(const shell::TrayIcon&, const shell::TrayBalloon& balloon) {
  std::lock_guard<std::mutex> g(FLock);
  FBalloons.push_back(balloon);
  FEvents.push_back("balloon " + balloon.title + "|" + balloon.text + "|" + std::to_string(balloon.timeoutMs) +
                    "|" + std::to_string(balloon.infoFlags));
}

void TrayRecorder::BalloonHidden(const shell::TrayIcon&) {
  std::lock_guard<std::mutex> g(FLock);
  FEvents.push_back("hide balloon");
}

std::vector<std::string> TrayRecorder::Events() const {
  std::lock_guard<std::mutex> g(FLock);
  return FEvents;
}

std::vector<shell::TrayBalloon> TrayRecorder::Balloons() const {
  std::lock_guard<std::mutex> g(FLock);
  return FBalloons;
}

void TrayRecorder::Clear() {
  std::lock_guard<std::mutex> g(FLock);
  FEvents.clear();
  FBalloons.clear();
}

}  // namespace test
