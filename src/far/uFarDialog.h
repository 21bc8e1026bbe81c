// One host dialog: the plugin's and the dialog's GUIDs, a block of host dialog items and
// the handle of the running host dialog, with indexed access to an item's checked state,
// enabled state and text through the host's dialog messages.
//
// A process-wide registry (FarDialogs) leads from a host dialog handle back to its object.
// An object is in it from construction until its host dialog is closed or the object is
// destroyed; AttachDialog puts an object that gets a new host dialog back in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "far/uFarHost.h"

using PFarDialogItem = FarDialogItem*;
using PFarDialogItemArray = FarDialogItem*;

class TFarDialog;

// The registry of dialogs; it does not own its members. Exists between InitializeFAR and
// FinalizeFAR.
extern std::vector<TFarDialog*>* FarDialogs;

class TFarDialog {
public:
  static constexpr uintptr_t NoDialog = static_cast<uintptr_t>(-1);

  TFarDialog(const GUID& APluginGUID, const GUID& ADialogGUID);
  virtual ~TFarDialog();

  TFarDialog(const TFarDialog&) = delete;
  TFarDialog& operator=(const TFarDialog&) = delete;

  // A descendant's handler of host dialog events; the base form answers 0 with AResult 0.
  virtual intptr_t HandleDialogMessage(intptr_t AMsg, intptr_t AParam1, intptr_t AParam2,
                                       intptr_t& AResult);
  // Closes the host dialog and releases the items.
  virtual void ClearDialog();

  // The registered dialog with host handle AHandle, searched in registration order; null
  // for NoDialog.
  static TFarDialog* GetDialogInstance(uintptr_t AHandle);

  // Slot AIndex of the item block, for every index below the capacity; null otherwise.
  PFarDialogItem GetItem(int32_t AIndex) const;
  PFarDialogItem operator[](int32_t AIndex) const { return GetItem(AIndex); }

  // Without a host dialog these answer false or the empty string and send nothing.
  bool GetItemChecked(int32_t AIndex);
  void SetItemChecked(int32_t AIndex, bool AValue);
  bool GetItemEnabled(int32_t AIndex);
  void SetItemEnabled(int32_t AIndex, bool AValue);
  std::u16string GetItemText(int32_t AIndex);
  void SetItemText(int32_t AIndex, const std::u16string& AValue);

  const GUID& PluginGUID() const { return fPluginGUID; }
  const GUID& DialogGUID() const { return fDialogGUID; }
  uintptr_t DialogHandle() const { return fDialogHandle; }
  int32_t Capacity() const { return fCapacity; }
  int32_t Count() const { return fCount; }

  // Building the items and running the host dialog belong to descendants: these give them
  // the block and record the host's handle (the object then is in the registry).
  bool SetCapacity(int32_t ACapacity);
  int32_t AddItem(const FarDialogItem& AItem);
  void AttachDialog(uintptr_t AHandle);

protected:
  void CloseDialog();
  intptr_t SendDialogMessage(intptr_t AMsg, intptr_t AParam1, void* AParam2);

private:
  GUID fPluginGUID;
  GUID fDialogGUID;
  PFarDialogItemArray fItems = nullptr;
  int32_t fCapacity = 0;
  int32_t fCount = 0;
  uintptr_t fDialogHandle = NoDialog;
  int32_t fLastX = 0;
  int32_t fLastY = 0;
};
