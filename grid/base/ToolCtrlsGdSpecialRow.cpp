// The special row of lookup lists, and the routines that turn a ";"-separated list of field
// names into fields and set several fields of a record from one value.
#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/Controls.h"
#include "platform/data/DBError.h"
#include "platform/data/Fields.h"
#include "platform/graphics/Idents.h"

TSpecRowGd::TSpecRowGd(TPersistent* Owner)
    : FOwner(Owner), FCells(std::make_unique<TStringList>()), FFont(std::make_unique<TFont>()) {
  if (TFont* font = DefaultFont(); font != nullptr && font != FFont.get()) FFont->Assign(font);
  FFont->OnChange = [this](TObject* Sender) { FontChanged(Sender); };
}

TSpecRowGd::~TSpecRowGd() = default;

TFont* TSpecRowGd::DefaultFont() const {
  if (auto* control = dynamic_cast<TControl*>(FOwner)) return control->Font();
  return FFont.get();
}

TColor TSpecRowGd::DefaultColor() const {
  if (auto* control = dynamic_cast<TCustomControl*>(FOwner)) return control->Color();
  return FColor;
}

void TSpecRowGd::SetCellsText(const std::string& Value) {
  if (FCellsText == Value) return;
  FCellsText = Value;
  SplitCellsText(FCellsText, FCells.get());
  Changed();
}

TColor TSpecRowGd::Color() const { return FColorAssigned ? FColor : DefaultColor(); }

void TSpecRowGd::SetColor(TColor Value) {
  if (FColorAssigned && FColor == Value) return;
  FColor = Value;
  FColorAssigned = true;
  Changed();
}

TFont* TSpecRowGd::Font() const {
  if (FFontAssigned) return FFont.get();
  TFont* font = DefaultFont();
  if (font != FFont.get()) {
    // Follows the default font without making it the row's own.
    auto* self = const_cast<TSpecRowGd*>(this);
    self->FCopyingFont = true;
    FFont->Assign(font);
    self->FCopyingFont = false;
  }
  return FFont.get();
}

void TSpecRowGd::SetFont(TFont* Value) { FFont->Assign(Value); }

void TSpecRowGd::FontChanged(TObject*) {
  if (FCopyingFont) return;
  FFontAssigned = true;
  Changed();
}

void TSpecRowGd::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  Changed();
}

void TSpecRowGd::SetShowIfNotInKeyList(bool Value) {
  if (FShowIfNotInKeyList == Value) return;
  FShowIfNotInKeyList = Value;
  Changed();
}

void TSpecRowGd::SetValue(const Variant& Value) {
  if (VariantsEqual(FValue, Value) && VarType(FValue) == VarType(Value)) return;
  FValue = Value;
  Changed();
}

bool TSpecRowGd::IsValueStored() const { return !VariantsEqual(FValue, Variant::Null()); }

void TSpecRowGd::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

std::string TSpecRowGd::CellTextAt(int Index) const {
  if (Index < 0 || Index >= FCells->Count()) return {};
  return FCells->Strings(Index);
}

void TSpecRowGd::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TSpecRowGd::Changed() {
  if (FUpdateCount == 0 && OnChanged) OnChanged(this);
}

void TSpecRowGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TSpecRowGd*>(Source);
  if (other == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  BeginUpdate();
  try {
    SetCellsText(other->CellsText());
    SetColor(other->Color());
    if (other->FFontAssigned) SetFont(other->Font());
    SetShortCut(other->ShortCut());
    SetShowIfNotInKeyList(other->ShowIfNotInKeyList());
    SetValue(other->Value());
    SetVisible(other->Visible());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

namespace {

bool IsControlChar(char C) { return C >= 1 && C <= 31; }

}  // namespace

void SplitCellsText(const std::string& Text, TStrings* Cells) {
  Cells->BeginUpdate();
  try {
    Cells->Clear();
    size_t i = 0;
    const size_t n = Text.size();
    auto skipControls = [&] {
      while (i < n && IsControlChar(Text[i])) ++i;
    };
    skipControls();
    while (i < n) {
      std::string item;
      if (Text[i] == '"') {
        ++i;
        while (i < n) {
          if (Text[i] == '"') {
            if (i + 1 < n && Text[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += Text[i++];
        }
      } else {
        // Bytes of a UTF-8 character are never ";" nor control characters, so a character is
        // never split.
        while (i < n && Text[i] != ';' && !IsControlChar(Text[i])) item += Text[i++];
      }
      Cells->Add(item);
      skipControls();
      if (i < n && Text[i] == ';') {
        ++i;
        skipControls();
      }
    }
  } catch (...) {
    Cells->EndUpdate();
    throw;
  }
  Cells->EndUpdate();
}

void FieldNamesToArray(TDataSet* DataSet, TComponent* Component, const std::string& FieldNames,
                       std::vector<TField*>& Fields) {
  std::vector<TField*> found;
  for (const std::string& name : data::SplitFieldNames(FieldNames)) {
    TField* field = DataSet->FindField(name);
    if (field == nullptr) DatabaseError("Field '" + name + "' not found", Component);
    found.push_back(field);
  }
  Fields = std::move(found);
}

void AssignFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value) {
  if (VariantsEqual(Value, Variant::Null())) {
    for (TField* field : DataSet->GetFieldList(FieldNames)) field->Clear();
    return;
  }
  DataSet->SetFieldValues(FieldNames, Value);
}

// ---- published properties ----

static const classes::TPublished<TSpecRowGd, TPersistent> SpecRowGdInfo([](auto& p) {
  using R = TSpecRowGd;
  p.String("CellsText", &R::CellsText, &R::SetCellsText);
  p.Int("Color", &R::Color, &R::SetColor).Idents(ColorIdents()).Stored(&R::IsColorStored);
  p.Object("Font", &R::Font, &R::SetFont).Stored(&R::IsFontStored);
  p.Int("ShortCut", &R::ShortCut, &R::SetShortCut).Default(TSpecRowGd::DefaultShortCut);
  p.Bool("ShowIfNotInKeyList", &R::ShowIfNotInKeyList, &R::SetShowIfNotInKeyList).Default(true);
  p.Var("Value", &R::Value, &R::SetValue).Stored(&R::IsValueStored);
  p.Bool("Visible", &R::Visible, &R::SetVisible).Default(false);
});
