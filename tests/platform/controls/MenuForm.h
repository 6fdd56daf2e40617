#pragma once
// A form-like root with a pop-up menu read from its definition, as the system's windows have
// them: nested items, separators, a disabled item, a radio group in a submenu, a checked item,
// a shortcut, access keys, handlers bound by name.
#include <string>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/controls/Menus.h"

namespace menutest {

inline const char* const kMenuDefinition = R"(object MenuTestForm: TMenuTestForm
  object PopupMenu1: TPopupMenu
    Left = 8
    Top = 16
    OnPopup = PopupMenu1Popup
    object N1: TMenuItem
      Caption = '新增'
      OnClick = ItemClick
    end
    object N4: TMenuItem
      Caption = '-'
    end
    object N2: TMenuItem
      Caption = '修改(&M)'
      ShortCut = 16461
      OnClick = ItemClick
    end
    object N3: TMenuItem
      Caption = '删除'
      Enabled = False
      OnClick = ItemClick
    end
    object N5: TMenuItem
      Caption = '播放方式'
      object N6: TMenuItem
        AutoCheck = True
        Caption = '顺序播放'
        Checked = True
        GroupIndex = 1
        RadioItem = True
        OnClick = ItemClick
      end
      object N7: TMenuItem
        AutoCheck = True
        Caption = '随机播放'
        GroupIndex = 1
        RadioItem = True
        OnClick = ItemClick
      end
    end
    object N8: TMenuItem
      Caption = '启用时段播放'
      Checked = True
      OnClick = ItemClick
    end
    object N9: TMenuItem
      Caption = '退出(&X)'
      OnClick = ItemClick
    end
  end
end
)";

class TMenuTestForm : public TComponent {
 public:
  explicit TMenuTestForm(TComponent* AOwner) : TComponent(AOwner) {}
  void ItemClick(TObject* Sender) { Log.push_back("click " + static_cast<TComponent*>(Sender)->Name()); }
  void PopupMenu1Popup(TObject*) { Log.push_back("popup"); }

  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* N1 = nullptr;
  TMenuItem* N2 = nullptr;
  TMenuItem* N3 = nullptr;
  TMenuItem* N4 = nullptr;
  TMenuItem* N5 = nullptr;
  TMenuItem* N6 = nullptr;
  TMenuItem* N7 = nullptr;
  TMenuItem* N8 = nullptr;
  TMenuItem* N9 = nullptr;
  std::vector<std::string> Log;
};

// Makes the form and reads its definition.
TMenuTestForm* LoadMenuForm();

}  // namespace menutest
