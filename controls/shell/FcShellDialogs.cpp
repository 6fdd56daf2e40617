#include "controls/shell/FcShellDialogs.h"

#include "controls/base/FcButton.h"
#include "controls/input/FcEdit.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Strings.h"

namespace fc {
namespace {
TShellDialogRunner& Runner() {
  static TShellDialogRunner runner;
  return runner;
}
}  // namespace
void SetShellDialogRunner(TShellDialogRunner Runner) { fc::Runner() = std::move(Runner); }
}  // namespace fc

const classes::TEnumInfo& EnumInfo(TFcSelectFolderDialogOption) {
  static const classes::TEnumInfo info{
      "TFcSelectFolderDialogOption",
      {"sfdoCreateDeleteButtons", "sfdoContextMenus", "sfdoReadOnly", "sfdoIncludeNonFolders", "sfdoOleDrag",
       "sfdoOleDrop", "sfdoCreateFolderIcon", "sfdoDeleteFolderIcon", "sfdoVirtualFolders", "sfdoShowHidden"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcOpenSaveOption) {
  static const classes::TEnumInfo info{
      "TFcOpenSaveOption",
      {"osoAllowMultiselect", "osoCreatePrompt", "osoExtensionDifferent", "osoFileMustExist", "osoHideReadOnly",
       "osoNoChangeDir", "osoNoDereferenceLinks", "osoNoReadOnlyReturn", "osoNoTestFileCreate", "osoNoValidate",
       "osoOverwritePrompt", "osoReadOnly", "osoPathMustExist", "osoShareAware", "osoShowHelp", "osoAllowTree",
       "osoShowTree", "osoShowHints", "osoHideFoldersInListWhenTreeVisible", "osoOleDrag", "osoOleDrop",
       "osoShowHidden", "osoFilesCanBeFolders"}};
  return info;
}

// ---- TFcShellDialog ----

TFcShellDialog::TFcShellDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TFcShellDialog::Execute() {
  if (FBusy) throw Exception(ClassName() + " already executing");
  FBusy = true;
  struct TDone {
    bool& Busy;
    ~TDone() { Busy = false; }
  } done{FBusy};
  if (fc::Runner()) return fc::Runner()(this);
  return RunWindow();
}

bool TFcShellDialog::RunWindow() {
  TForm form(nullptr);
  form.SetBorderStyle(bsDialog);
  form.SetCaption(FTitle.empty() ? DefaultTitle() : FTitle);
  form.SetPosition(FFormPosition);
  form.SetClientWidth(FFormWidth > 0 ? FFormWidth : 360);
  form.SetClientHeight(FFormHeight > 0 ? FFormHeight : 76);
  if (FFormLeft >= 0) form.SetLeft(FFormLeft);
  if (FFormTop >= 0) form.SetTop(FFormTop);
  auto* edit = new TFcEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(8, 10, form.ClientWidth() - 16, 21);
  edit->SetText(InitialText());
  auto* ok = new TFcButton(&form);
  ok->SetParent(&form);
  ok->SetCaption("OK");
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  ok->SetBounds(form.ClientWidth() - 166, 42, 75, 25);
  auto* cancel = new TFcButton(&form);
  cancel->SetParent(&form);
  cancel->SetCaption("Cancel");
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  cancel->SetBounds(form.ClientWidth() - 83, 42, 75, 25);
  form.SetActiveControl(edit);
  if (OnInitialized) OnInitialized(this);
  if (OnFormShow) OnFormShow(this);
  bool accepted = false;
  // A text the dialog cannot take keeps it open.
  while (form.ShowModal() == mrOk) {
    if (AcceptText(Trim(edit->Text()))) {
      accepted = true;
      break;
    }
  }
  if (OnFormClose) OnFormClose(this);
  return accepted;
}

// ---- folder dialog ----

bool TFcCustomSelectFolderDialog::AcceptText(const std::string& Text) {
  if (Text.empty() || !DirectoryExists(Text)) return false;
  FSelectedPathName = Text == "/" ? Text : ExcludeTrailingPathDelimiter(Text);
  return true;
}

// ---- file dialog ----

TFcFileDialog::TFcFileDialog(TComponent* AOwner)
    : TFcShellDialog(AOwner), FChosenFiles(std::make_unique<TStringList>()) {}

TFcFileDialog::~TFcFileDialog() = default;

std::string TFcFileDialog::FileName() const { return FChosenFiles->Count() ? FChosenFiles->Strings(0) : std::string(); }

bool TFcFileDialog::AcceptText(const std::string& Text) {
  std::vector<std::string> names;
  std::string rest = Text;
  if (FOptions.Contains(osoAllowMultiselect)) {
    size_t pos;
    while ((pos = rest.find(';')) != std::string::npos) {
      std::string name = Trim(rest.substr(0, pos));
      if (!name.empty()) names.push_back(name);
      rest = rest.substr(pos + 1);
    }
  }
  rest = Trim(rest);
  if (!rest.empty()) names.push_back(rest);
  if (names.empty()) return false;
  for (const std::string& name : names)
    if (FOptions.Contains(osoFileMustExist) && !FileExists(name)) return false;
  FChosenFiles->Clear();
  for (const std::string& name : names) FChosenFiles->Add(name);
  return true;
}

TFcCustomOpenDialog::TFcCustomOpenDialog(TComponent* AOwner) : TFcFileDialog(AOwner) {
  SetOptions(TFcOpenSaveOptions::FromBits(0x3A8010));
}

// ---- published properties ----

static const classes::TPublished<TFcShellDialog, TComponent> FcShellDialogInfo([](auto& p) {
  using D = TFcShellDialog;
  p.Enum("FormPosition", &D::FormPosition, &D::SetFormPosition).Default(poScreenCenter);
  p.Int("FormLeft", &D::FormLeft, &D::SetFormLeft).Default(-1);
  p.Int("FormTop", &D::FormTop, &D::SetFormTop).Default(-1);
  p.Int("FormWidth", &D::FormWidth, &D::SetFormWidth).Default(-1);
  p.Int("FormHeight", &D::FormHeight, &D::SetFormHeight).Default(-1);
  p.String("Title", &D::Title, &D::SetTitle);
  p.Int("FrameColor", &D::FrameColor, &D::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Enum("FrameStyle", &D::FrameStyle, &D::SetFrameStyle).Default(fsFlat);
  p.Bool("FrameVisible", &D::FrameVisible, &D::SetFrameVisible).Default(false);
  p.Int("ButtonColor", &D::ButtonColor, &D::SetButtonColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("ShowButtonGlyphs", &D::ShowButtonGlyphs, &D::SetShowButtonGlyphs).Default(false);
  p.Bool("HotTrack", &D::HotTrack, &D::SetHotTrack).Default(false);
  p.Event("OnInitialized", &D::OnInitialized);
  p.Event("OnFormShow", &D::OnFormShow);
  p.Event("OnFormClose", &D::OnFormClose);
});
static const classes::TPublished<TFcCustomSelectFolderDialog, TFcShellDialog> FcCustomSelectFolderDialogInfo(
    [](auto& p) {
      using D = TFcCustomSelectFolderDialog;
      p.template Set<TFcSelectFolderDialogOption>("Options", &D::Options, &D::SetOptions)
          .Default(TFcSelectFolderDialogOptions::FromBits(706));
    });
static const classes::TPublished<TFcSelectFolderDialog, TFcCustomSelectFolderDialog> FcSelectFolderDialogInfo;
static const classes::TPublished<TFcFileDialog, TFcShellDialog> FcFileDialogInfo([](auto& p) {
  using D = TFcFileDialog;
  p.template Set<TFcOpenSaveOption>("Options", &D::Options, &D::SetOptions).Default(TFcOpenSaveOptions{});
  p.String("Filter", &D::Filter, &D::SetFilter);
  p.Int("FilterIndex", &D::FilterIndex, &D::SetFilterIndex).Default(1);
  p.String("InitialDir", &D::InitialDir, &D::SetInitialDir);
  p.String("DefaultExt", &D::DefaultExt, &D::SetDefaultExt);
});
static const classes::TPublished<TFcCustomOpenDialog, TFcFileDialog> FcCustomOpenDialogInfo([](auto& p) {
  using D = TFcCustomOpenDialog;
  p.template Set<TFcOpenSaveOption>("Options", &D::Options, &D::SetOptions)
      .Default(TFcOpenSaveOptions::FromBits(0x3A8010));
});
static const classes::TPublished<TFcOpenDialog, TFcCustomOpenDialog> FcOpenDialogInfo;
