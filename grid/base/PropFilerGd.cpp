#include "grid/base/PropFilerGd.h"

#include <algorithm>
#include <utility>

#include "platform/classes/TypeInfo.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/SysUtils.h"

namespace {

// The registry: target classes with their interceptor classes, in registration order.
std::vector<std::pair<std::type_index, TInterceptorClassGd>>& Registry() {
  static std::vector<std::pair<std::type_index, TInterceptorClassGd>> registry;
  return registry;
}

}  // namespace

void AddPropertyReadInterceptor(std::type_index TargetClass, const TInterceptorClassGd& InterceptorClass) {
  auto& registry = Registry();
  std::erase_if(registry, [&](const auto& Pair) { return Pair.first == TargetClass; });
  registry.emplace_back(TargetClass, InterceptorClass);
}

void RemovePropertyReadInterceptor(std::type_index TargetClass, const TInterceptorClassGd& InterceptorClass) {
  std::erase_if(Registry(),
                [&](const auto& Pair) { return Pair.first == TargetClass && Pair.second == InterceptorClass; });
}

const TInterceptorClassGd* PropertyReadInterceptorOf(std::type_index TargetClass) {
  for (const auto& [target, interceptor] : Registry())
    if (target == TargetClass) return &interceptor;
  return nullptr;
}

std::unique_ptr<TStoragePropertyInterceptor> MakePropertyReadInterceptor(TObject* Target) {
  if (Target == nullptr) return nullptr;
  if (const TInterceptorClassGd* own = PropertyReadInterceptorOf(typeid(*Target))) return own->Create(Target);
  for (const classes::TClassInfo* info = classes::ClassInfoOf(Target); info != nullptr; info = info->Parent())
    if (const TInterceptorClassGd* found = PropertyReadInterceptorOf(info->Type())) return found->Create(Target);
  return nullptr;
}

TRect ReadNormalPlacement(TCustomForm* Form) {
  if (Form->WindowState() != wsNormal && Form->HandleAllocated()) {
    WINDOWPLACEMENT placement;
    if (GetWindowPlacement(Form->Handle(), &placement)) return placement.rcNormalPosition;
  }
  return TRect{Form->Left(), Form->Top(), Form->Left() + Form->Width(), Form->Top() + Form->Height()};
}

// ---- the form's interceptor ----

TFormStoragePropertyInterceptor::TFormStoragePropertyInterceptor(TObject* Target)
    : TStoragePropertyInterceptor(Target) {
  TCustomForm* form = Form();
  if (form == nullptr) return;
  const TRect r = ReadNormalPlacement(form);
  FLeft = r.Left;
  FTop = r.Top;
  FWidth = r.Width();
  FHeight = r.Height();
  FPixelsPerInch = form->PixelsPerInch();
  FWindowState = form->WindowState();
  FActiveControl = form->ActiveControl();
}

int TFormStoragePropertyInterceptor::Height() const {
  TCustomForm* form = Form();
  return form != nullptr ? ReadNormalPlacement(form).Height() : 0;
}

int TFormStoragePropertyInterceptor::Left() const {
  TCustomForm* form = Form();
  return form != nullptr ? ReadNormalPlacement(form).Left : 0;
}

int TFormStoragePropertyInterceptor::Top() const {
  TCustomForm* form = Form();
  return form != nullptr ? ReadNormalPlacement(form).Top : 0;
}

int TFormStoragePropertyInterceptor::Width() const {
  TCustomForm* form = Form();
  return form != nullptr ? ReadNormalPlacement(form).Width() : 0;
}

void TFormStoragePropertyInterceptor::SetLeft(int Value) {
  FLeft = Value;
  FPositionRead = true;
}

void TFormStoragePropertyInterceptor::SetTop(int Value) {
  FTop = Value;
  FPositionRead = true;
}

int TFormStoragePropertyInterceptor::ScreenPixelsPerInch() const { return Screen->PixelsPerInch(); }

void TFormStoragePropertyInterceptor::AfterRead() {
  // A resolution of 0 was never a screen's: the stored sizes are taken as they are.
  if (FPixelsPerInch > 0) {
    const int screen = ScreenPixelsPerInch();
    FHeight = MulDiv(FHeight, screen, FPixelsPerInch);
    FLeft = MulDiv(FLeft, screen, FPixelsPerInch);
    FTop = MulDiv(FTop, screen, FPixelsPerInch);
    FWidth = MulDiv(FWidth, screen, FPixelsPerInch);
  }
  TCustomForm* form = Form();
  if (form == nullptr) return;
  form->SetWindowState(FWindowState);
  // The active control is taken only where setting it does not move the focus.
  if (!form->Active() && (FActiveControl == nullptr || FActiveControl->CanFocus()))
    form->SetActiveControl(FActiveControl);
  if (form->WindowState() != wsNormal && form->HandleAllocated()) {
    WINDOWPLACEMENT placement;
    GetWindowPlacement(form->Handle(), &placement);
    placement.rcNormalPosition = TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
    placement.showCmd = 0;
    SetWindowPlacement(form->Handle(), &placement);
  } else {
    form->SetBounds(FLeft, FTop, FWidth, FHeight);
  }
  const TPosition position = form->Position();
  if ((position == poScreenCenter || position == poDesktopCenter) && !form->HasState(csDesigning) && FPositionRead)
    form->SetPosition(poDesigned);
}

static const classes::TPublished<TStoragePropertyInterceptor, TPersistent> StoragePropertyInterceptorInfo;
static const classes::TPublished<TFormStoragePropertyInterceptor, TStoragePropertyInterceptor>
    FormStoragePropertyInterceptorInfo([](auto& p) {
      using I = TFormStoragePropertyInterceptor;
      p.Component("ActiveControl", &I::ActiveControl, &I::SetActiveControl);
      p.Int("Height", &I::Height, &I::SetHeight);
      p.Int("Left", &I::Left, &I::SetLeft);
      p.Int("PixelsPerInch", &I::PixelsPerInch, &I::SetPixelsPerInch);
      p.Int("Top", &I::Top, &I::SetTop);
      p.Int("Width", &I::Width, &I::SetWidth);
      p.Enum("WindowState", &I::WindowState, &I::SetWindowState);
    });

// Forms restore their placement through the form's interceptor.
static const bool FormInterceptorRegistered = [] {
  AddPropertyReadInterceptor(typeid(TForm), TInterceptorClassGd::Of<TFormStoragePropertyInterceptor>());
  AddPropertyReadInterceptor(typeid(TCustomForm), TInterceptorClassGd::Of<TFormStoragePropertyInterceptor>());
  return true;
}();
