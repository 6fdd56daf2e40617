#pragma once
// Saving and restoring chosen properties of components: a registry that pairs a target class
// with an interceptor class, and interceptors that stand in for a target while its stored
// properties are read and apply them afterwards (the form's interceptor restores its placement
// scaled to the screen's resolution). Also the grid library's own user texts.
#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/controls/Forms.h"

// Stands in for Target while its stored properties are read.
class TStoragePropertyInterceptor : public TPersistent {
 public:
  explicit TStoragePropertyInterceptor(TObject* Target) : FTarget(Target) {}
  TObject* Target() const { return FTarget; }
  // Whether the interceptor takes part in reading (it does unless a subclass says otherwise).
  virtual bool WantsIntercept() { return true; }
  // Applies what was read to the target.
  virtual void AfterRead() {}

 private:
  TObject* FTarget;
};

// An interceptor class: makes interceptors for a target. TInterceptorClassGd::Of<T>() makes
// T(Target) objects; two are equal when they make the same class.
struct TInterceptorClassGd {
  std::function<std::unique_ptr<TStoragePropertyInterceptor>(TObject* Target)> Create;
  std::type_index Type = typeid(TStoragePropertyInterceptor);

  template <class T>
  static TInterceptorClassGd Of() {
    return {[](TObject* Target) -> std::unique_ptr<TStoragePropertyInterceptor> { return std::make_unique<T>(Target); },
            typeid(T)};
  }
  bool operator==(const TInterceptorClassGd& Other) const { return Type == Other.Type; }
};

// Pairs TargetClass with InterceptorClass, in place of any earlier pair of TargetClass.
void AddPropertyReadInterceptor(std::type_index TargetClass, const TInterceptorClassGd& InterceptorClass);
// Removes the pairs of TargetClass with InterceptorClass.
void RemovePropertyReadInterceptor(std::type_index TargetClass, const TInterceptorClassGd& InterceptorClass);
// The interceptor class registered for TargetClass exactly; nullptr when there is none.
const TInterceptorClassGd* PropertyReadInterceptorOf(std::type_index TargetClass);
// The interceptor for Target: that of its own class, else of its nearest registered ancestor
// among the published classes; nullptr when none is registered.
std::unique_ptr<TStoragePropertyInterceptor> MakePropertyReadInterceptor(TObject* Target);

// The rectangle of Form in its normal (restored) state.
TRect ReadNormalPlacement(TCustomForm* Form);

// Restores a form's placement: position and size scaled from the stored resolution to the
// screen's, the window state and the active control.
class TFormStoragePropertyInterceptor : public TStoragePropertyInterceptor {
 public:
  explicit TFormStoragePropertyInterceptor(TObject* Target);

  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value) { FActiveControl = Value; }
  // The getters read the form's normal placement as it is now (0 without a form); the setters
  // store what AfterRead applies.
  int Height() const;
  void SetHeight(int Value) { FHeight = Value; }
  int Left() const;
  void SetLeft(int Value);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
  int Top() const;
  void SetTop(int Value);
  int Width() const;
  void SetWidth(int Value) { FWidth = Value; }
  TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(TWindowState Value) { FWindowState = Value; }
  // Left or Top was read.
  bool PositionRead() const { return FPositionRead; }

  // Scales the stored rectangle by the screen's resolution over the stored one (a stored
  // resolution of 0 leaves it as it is), then gives the form its window state, active control
  // and rectangle (the restored rectangle of a maximised or minimised form).
  void AfterRead() override;

 protected:
  TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Target()); }
  // The screen's pixels per inch.
  virtual int ScreenPixelsPerInch() const;

 private:
  TWinControl* FActiveControl = nullptr;
  int FHeight = 0;
  int FLeft = 0;
  int FPixelsPerInch = 96;
  int FTop = 0;
  int FWidth = 0;
  TWindowState FWindowState = wsNormal;
  bool FPositionRead = false;
};

// The grid library's own user texts.
namespace gdtexts {
inline constexpr const char* FilterAll = "(全部)";
inline constexpr const char* FilterClear = "(清除过滤器)";
inline constexpr const char* FilterSortAscending = "(正向排序)";
inline constexpr const char* FilterSortDescending = "(逆向排序)";
inline constexpr const char* FilterEmpty = "(空)";
inline constexpr const char* FilterNotEmpty = "(非空)";
inline constexpr const char* ClearSelectedCells = "清除选择的单元?";
inline constexpr const char* InvalidTextFormat = "错误的文本格式";
inline constexpr const char* InvalidBinaryFormat = "错误的 VCLDBIF 格式";
inline constexpr const char* ErrorInsertingValue = "插入值过程中出错:";
inline constexpr const char* IgnoreError = "忽略错误?";
// Format with the text searched for.
inline constexpr const char* TextNotFound = "字符串 \"%s\" 没有找到";
}  // namespace gdtexts
