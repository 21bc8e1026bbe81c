#include "far/uFarDialog.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::vector<TFarDialog*>* FarDialogs = nullptr;

TFarDialog::TFarDialog(const GUID& APluginGUID, const GUID& ADialogGUID)
    : fPluginGUID(APluginGUID), fDialogGUID(ADialogGUID) {
  if (FarDialogs) FarDialogs->push_back(this);
  // The fields already hold what ClearDialog would leave; a constructor could reach only
  // this class's ClearDialog anyway.
}

TFarDialog::~TFarDialog() {
  CloseDialog();
  // Destructors do not dispatch to descendants: a descendant that overrides ClearDialog
  // calls it from its own destructor.
  TFarDialog::ClearDialog();
  if (FarDialogs)
    FarDialogs->erase(std::remove(FarDialogs->begin(), FarDialogs->end(), this), FarDialogs->end());
}

intptr_t TFarDialog::HandleDialogMessage(intptr_t /*AMsg*/, intptr_t /*AParam1*/,
                                         intptr_t /*AParam2*/, intptr_t& AResult) {
  AResult = 0;
  return 0;
}

void TFarDialog::ClearDialog() {
  CloseDialog();
  std::free(fItems);
  fItems = nullptr;
  fCapacity = 0;
  fCount = 0;
}

TFarDialog* TFarDialog::GetDialogInstance(uintptr_t AHandle) {
  if (AHandle == NoDialog || !FarDialogs) return nullptr;
  for (TFarDialog* dialog : *FarDialogs)
    if (dialog->fDialogHandle == AHandle) return dialog;
  return nullptr;
}

PFarDialogItem TFarDialog::GetItem(int32_t AIndex) const {
  if (AIndex < 0 || AIndex >= fCapacity || !fItems) return nullptr;
  return fItems + AIndex;
}

bool TFarDialog::GetItemChecked(int32_t AIndex) {
  if (fDialogHandle == NoDialog) return false;
  return SendDialogMessage(DM_GETCHECK, AIndex, nullptr) != 0;
}

void TFarDialog::SetItemChecked(int32_t AIndex, bool AValue) {
  if (fDialogHandle == NoDialog) return;
  SendDialogMessage(DM_SETCHECK, AIndex,
                    reinterpret_cast<void*>(AValue ? BSTATE_CHECKED : BSTATE_UNCHECKED));
}

bool TFarDialog::GetItemEnabled(int32_t AIndex) {
  if (fDialogHandle == NoDialog) return false;
  return SendDialogMessage(DM_ENABLE, AIndex, reinterpret_cast<void*>(intptr_t{-1})) != 0;
}

void TFarDialog::SetItemEnabled(int32_t AIndex, bool AValue) {
  if (fDialogHandle == NoDialog) return;
  SendDialogMessage(DM_ENABLE, AIndex, reinterpret_cast<void*>(intptr_t{AValue ? 1 : 0}));
}

std::u16string TFarDialog::GetItemText(int32_t AIndex) {
  std::u16string result;
  if (fDialogHandle == NoDialog) return result;
  const intptr_t length = SendDialogMessage(DM_GETTEXT, AIndex, nullptr);
  if (length <= 0) return result;
  result.assign(static_cast<size_t>(length), u'\0');
  FarDialogItemData data{};
  data.StructSize = sizeof(FarDialogItemData);
  data.PtrLength = static_cast<size_t>(length);
  data.PtrData = result.data();
  SendDialogMessage(DM_GETTEXT, AIndex, &data);
  return result;
}

void TFarDialog::SetItemText(int32_t AIndex, const std::u16string& AValue) {
  if (fDialogHandle == NoDialog) return;
  std::u16string text = AValue;
  FarDialogItemData data{};
  data.StructSize = sizeof(FarDialogItemData);
  data.PtrLength = text.size();
  data.PtrData = text.data();
  SendDialogMessage(DM_SETTEXT, AIndex, &data);
}

bool TFarDialog::SetCapacity(int32_t ACapacity) {
  if (ACapacity < fCount) return false;
  const size_t bytes = static_cast<size_t>(ACapacity) * sizeof(FarDialogItem);
  auto* items = static_cast<FarDialogItem*>(std::calloc(ACapacity > 0 ? bytes : 1, 1));
  if (!items) return false;
  if (fItems && fCount > 0) std::memcpy(items, fItems, fCount * sizeof(FarDialogItem));
  std::free(fItems);
  fItems = items;
  fCapacity = ACapacity;
  return true;
}

int32_t TFarDialog::AddItem(const FarDialogItem& AItem) {
  if (fCount == fCapacity && !SetCapacity(fCapacity > 0 ? fCapacity * 2 : 8)) return -1;
  fItems[fCount] = AItem;
  return fCount++;
}

void TFarDialog::AttachDialog(uintptr_t AHandle) {
  CloseDialog();
  fDialogHandle = AHandle;
  if (AHandle != NoDialog && FarDialogs &&
      std::find(FarDialogs->begin(), FarDialogs->end(), this) == FarDialogs->end())
    FarDialogs->push_back(this);
}

void TFarDialog::CloseDialog() {
  if (fDialogHandle == NoDialog) return;
  farhost::DialogFree(fDialogHandle);
  if (FarDialogs)
    for (size_t i = FarDialogs->size(); i-- > 0;)
      if ((*FarDialogs)[i]->fDialogHandle == fDialogHandle) {
        FarDialogs->erase(FarDialogs->begin() + static_cast<ptrdiff_t>(i));
        break;
      }
  fDialogHandle = NoDialog;
}

intptr_t TFarDialog::SendDialogMessage(intptr_t AMsg, intptr_t AParam1, void* AParam2) {
  return farhost::SendDlgMessage(fDialogHandle, AMsg, AParam1, AParam2);
}
