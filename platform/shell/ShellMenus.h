#pragma once
// What the namespace's items offer beyond names and icons: their context menu with its verbs,
// the drop target of a folder, a data object holding items for the clipboard, and moving and
// copying files into a folder without ever replacing what is there.
#include <memory>
#include <string>
#include <vector>

#include "platform/shell/DragDrop.h"
#include "platform/shell/Namespace.h"
#include "platform/shell/ShellFolders.h"

namespace shell {

// The context menu of items of the folder at FolderAbsIdList. Only ordinary files and folders
// get verbs; a menu of anything else stays empty.
std::shared_ptr<IContextMenu> MakeItemContextMenu(HWND Owner, LPCITEMIDLIST FolderAbsIdList,
                                                  PCUITEMID_CHILD_ARRAY Items, std::vector<ItemInfo> Infos);
// A drop target that moves, copies or links (symbolic links) dropped files into Folder.
std::shared_ptr<IDropTarget> MakeFolderDropTarget(HWND Owner, const std::string& Folder);
// A data object with the items' id-list array and file-drop list.
std::shared_ptr<IDataObject> MakeItemsDataObject(LPCITEMIDLIST FolderAbsIdList, UINT Count,
                                                 PCUITEMID_CHILD_ARRAY Items, const std::vector<ItemInfo>& Infos);

// A data object over fixed blocks of global memory (copied out on every GetData).
class BlockDataObject : public IDataObject {
 public:
  // Takes the block over; false when it could not be read.
  bool Add(CLIPFORMAT Format, HGLOBAL Block);
  bool QueryInterface(const TGUID& IID, void** Obj) override;
  HRESULT GetData(FORMATETC* Format, STGMEDIUM* Medium) override;
  HRESULT GetDataHere(FORMATETC* Format, STGMEDIUM* Medium) override;
  HRESULT QueryGetData(FORMATETC* Format) override;
  HRESULT GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) override;
  HRESULT SetData(FORMATETC* Format, STGMEDIUM* Medium, BOOL Release) override;
  HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Formats) override;
  HRESULT DAdvise(FORMATETC* Format, DWORD Flags, void* Sink, DWORD* Connection) override;
  HRESULT DUnadvise(DWORD Connection) override;
  HRESULT EnumDAdvise(void** Advisers) override;

 private:
  std::vector<std::pair<CLIPFORMAT, std::string>> FBlocks;
};

// The file paths a data object carries (its file-drop list); empty when none.
std::vector<std::string> DataObjectPaths(IDataObject* Data);
// Puts files into Folder: moved (Move) or copied; a name that exists there gets " (2)",
// " (3)" ... before its extension, so nothing is replaced. A file already in Folder is not
// moved; a folder is never put into itself. The paths made go to Made; false when any failed.
bool TransferFiles(const std::vector<std::string>& Sources, const std::string& Folder, bool Move,
                   std::vector<std::string>* Made = nullptr);
// The first free name for Name in Folder ("a.txt", "a (2).txt", ...).
std::string FreeNameIn(const std::string& Folder, const std::string& Name);

}  // namespace shell
