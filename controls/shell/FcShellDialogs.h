#pragma once
// The shell dialog components: TFcSelectFolderDialog asks for a folder, TFcOpenDialog for one
// or more files. Execute shows a plain modal window with a path field and OK and Cancel, and
// returns true on OK; the chosen folder (GetSelectedPathName) or files (Files) are read after
// it. A running dialog refuses a second Execute with "<class name> already executing".
// fc::SetShellDialogRunner replaces the window (tests answer the dialog through it).
#include <functional>
#include <memory>
#include <string>

#include "controls/base/FcCommon.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Forms.h"

class TFcShellDialog;

namespace fc {
// Answers a dialog in place of its window: fills its result and returns the OK/Cancel
// choice. An empty runner restores the window.
using TShellDialogRunner = std::function<bool(TFcShellDialog* Dialog)>;
void SetShellDialogRunner(TShellDialogRunner Runner);
}  // namespace fc

enum TFcSelectFolderDialogOption {
  sfdoCreateDeleteButtons, sfdoContextMenus, sfdoReadOnly, sfdoIncludeNonFolders, sfdoOleDrag, sfdoOleDrop,
  sfdoCreateFolderIcon, sfdoDeleteFolderIcon, sfdoVirtualFolders, sfdoShowHidden
};
using TFcSelectFolderDialogOptions = TSet<TFcSelectFolderDialogOption>;
enum TFcOpenSaveOption {
  osoAllowMultiselect, osoCreatePrompt, osoExtensionDifferent, osoFileMustExist, osoHideReadOnly, osoNoChangeDir,
  osoNoDereferenceLinks, osoNoReadOnlyReturn, osoNoTestFileCreate, osoNoValidate, osoOverwritePrompt, osoReadOnly,
  osoPathMustExist, osoShareAware, osoShowHelp, osoAllowTree, osoShowTree, osoShowHints,
  osoHideFoldersInListWhenTreeVisible, osoOleDrag, osoOleDrop, osoShowHidden, osoFilesCanBeFolders
};
using TFcOpenSaveOptions = TSet<TFcOpenSaveOption>;
const classes::TEnumInfo& EnumInfo(TFcSelectFolderDialogOption);
const classes::TEnumInfo& EnumInfo(TFcOpenSaveOption);

class TFcShellDialog : public TComponent {
 public:
  explicit TFcShellDialog(TComponent* AOwner);

  // Shows the dialog modally; true when the user confirmed it with OK.
  bool Execute();
  bool Busy() const { return FBusy; }

  TPosition FormPosition() const { return FFormPosition; }
  void SetFormPosition(TPosition Value) { FFormPosition = Value; }
  int FormLeft() const { return FFormLeft; }
  void SetFormLeft(int Value) { FFormLeft = Value; }
  int FormTop() const { return FFormTop; }
  void SetFormTop(int Value) { FFormTop = Value; }
  int FormWidth() const { return FFormWidth; }
  void SetFormWidth(int Value) { FFormWidth = Value; }
  int FormHeight() const { return FFormHeight; }
  void SetFormHeight(int Value) { FFormHeight = Value; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { FFrameColor = Value; }
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value) { FFrameStyle = Value; }
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value) { FFrameVisible = Value; }
  TColor ButtonColor() const { return FButtonColor; }
  void SetButtonColor(TColor Value) { FButtonColor = Value; }
  bool ShowButtonGlyphs() const { return FShowButtonGlyphs; }
  void SetShowButtonGlyphs(bool Value) { FShowButtonGlyphs = Value; }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }

  TNotifyEvent OnInitialized;
  TNotifyEvent OnFormShow;
  TNotifyEvent OnFormClose;

 protected:
  // The caption of the window when Title is empty.
  virtual std::string DefaultTitle() const = 0;
  // The path the field starts with, and taking the field's text as the result; false
  // refuses it (the window stays open).
  virtual std::string InitialText() const = 0;
  virtual bool AcceptText(const std::string& Text) = 0;

 private:
  bool RunWindow();

  bool FBusy = false;
  TPosition FFormPosition = poScreenCenter;
  int FFormLeft = -1;
  int FFormTop = -1;
  int FFormWidth = -1;
  int FFormHeight = -1;
  std::string FTitle;
  TColor FFrameColor = clBtnShadow;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TColor FButtonColor = clBtnFace;
  bool FShowButtonGlyphs = false;
  bool FHotTrack = false;
};

class TFcCustomSelectFolderDialog : public TFcShellDialog {
 public:
  explicit TFcCustomSelectFolderDialog(TComponent* AOwner) : TFcShellDialog(AOwner) {}

  TFcSelectFolderDialogOptions Options() const { return FOptions; }
  void SetOptions(TFcSelectFolderDialogOptions Value) { FOptions = Value; }
  const std::string& StatusText() const { return FStatusText; }
  void SetStatusText(const std::string& Value) { FStatusText = Value; }
  // The file-system path of the chosen folder (empty when it has none).
  std::string GetSelectedPathName() const { return FSelectedPathName; }
  void SetSelectedPathName(const std::string& Value) { FSelectedPathName = Value; }

 protected:
  std::string DefaultTitle() const override { return "Select Folder"; }
  std::string InitialText() const override { return FSelectedPathName; }
  // A folder that exists is taken (without a trailing separator); anything else is refused.
  bool AcceptText(const std::string& Text) override;

 private:
  TFcSelectFolderDialogOptions FOptions = TFcSelectFolderDialogOptions::FromBits(706);
  std::string FStatusText;
  std::string FSelectedPathName;
};

class TFcSelectFolderDialog : public TFcCustomSelectFolderDialog {
 public:
  explicit TFcSelectFolderDialog(TComponent* AOwner) : TFcCustomSelectFolderDialog(AOwner) {}
};

class TFcFileDialog : public TFcShellDialog {
 public:
  explicit TFcFileDialog(TComponent* AOwner);
  ~TFcFileDialog() override;

  // The chosen files' full paths after Execute returned true, in the dialog's order.
  TStrings* ChosenFiles() const { return FChosenFiles.get(); }
  TStrings* Files() const { return FChosenFiles.get(); }
  TFcOpenSaveOptions Options() const { return FOptions; }
  void SetOptions(TFcOpenSaveOptions Value) { FOptions = Value; }
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
  // The first chosen file (empty when none).
  std::string FileName() const;

 protected:
  std::string DefaultTitle() const override { return "Open"; }
  std::string InitialText() const override { return FInitialDir; }
  // Several files (with osoAllowMultiselect) are separated by ";". With osoFileMustExist a
  // file that does not exist is refused.
  bool AcceptText(const std::string& Text) override;

 private:
  std::unique_ptr<TStringList> FChosenFiles;
  TFcOpenSaveOptions FOptions;
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FInitialDir;
  std::string FDefaultExt;
};

class TFcCustomOpenDialog : public TFcFileDialog {
 public:
  explicit TFcCustomOpenDialog(TComponent* AOwner);
};

class TFcOpenDialog : public TFcCustomOpenDialog {
 public:
  explicit TFcOpenDialog(TComponent* AOwner) : TFcCustomOpenDialog(AOwner) {}
};
