#include "farside/uFarModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "farside/uModelRecords.h"
#include "system/uSystem.h"

TFarModel* TFarModel::fCurrent = nullptr;

using namespace farside;

void InstallFarServices(PluginStartupInfo& AInfo, FarStandardFunctions& AFSF);

TFarModel::TFarModel(TFarUser& AUser) : fUser(AUser), fMkTempSeed(std::random_device{}()) {
  fCurrent = this;
  InstallFarServices(fInfo, fFSF);
  fInfo.ModuleName = fModuleName.c_str();
}

TFarModel::~TFarModel() {
  if (fCurrent == this) fCurrent = nullptr;
}

void TFarModel::SetModuleName(const std::u16string& AName) {
  fModuleName = AName;
  fInfo.ModuleName = fModuleName.c_str();
}

std::u16string TFarModel::Msg(intptr_t AId) const {
  if (AId < 0 || static_cast<size_t>(AId) >= fMessages.size()) return std::u16string();
  return fMessages[static_cast<size_t>(AId)];
}

std::u16string TFarModel::FullName(const std::u16string& AName, bool ANative) const {
  return FullPathName ? FullPathName(AName, ANative) : AName;
}

// ---------------------------------------------------------------------------------------
// Message boxes, menus, texts

intptr_t TFarModel::Message(uint64_t AFlags, const char16_t* const* AItems, size_t AItemsNumber,
                            intptr_t AButtonsNumber) {
  TFarMessageBox box;
  box.Flags = AFlags;
  if (AItems && AItemsNumber > 0) {
    // The last ButtonsNumber items are the buttons; the title is never one.
    const size_t buttons =
        AButtonsNumber <= 0 ? 0 : std::min(static_cast<size_t>(AButtonsNumber), AItemsNumber - 1);
    box.Empty = false;
    box.Title = Text(AItems[0]);
    for (size_t i = 1; i < AItemsNumber - buttons; ++i)
      box.Lines.push_back(Text(AItems[i]));
    for (size_t i = AItemsNumber - buttons; i < AItemsNumber; ++i)
      box.Buttons.push_back(Text(AItems[i]));
  }
  // A box without buttons asks nothing: FAR draws it and returns at once.
  if (!box.Empty && box.Buttons.empty()) {
    fUser.Show(box);
    return -1;
  }
  return fUser.Answer(box);
}

intptr_t TFarModel::Menu(const std::u16string& ATitle, const std::u16string& ABottom,
                         const std::u16string& AHelpTopic, const FarMenuItem* AItems,
                         size_t AItemsNumber, intptr_t* ABreakCode) {
  if (ABreakCode) *ABreakCode = -1;
  TFarMenu menu{ATitle, ABottom, AHelpTopic, {}};
  for (size_t i = 0; AItems && i < AItemsNumber; ++i)
    menu.Items.push_back(Text(AItems[i].Text));
  return fUser.Choose(menu);
}

const char16_t* TFarModel::GetMsg(intptr_t AMsgId) const {
  if (AMsgId < 0 || static_cast<size_t>(AMsgId) >= fMessages.size()) return u"";
  return fMessages[static_cast<size_t>(AMsgId)].c_str();
}

// ---------------------------------------------------------------------------------------
// The console, dialogs, paths

intptr_t TFarModel::AdvControl(int ACommand, intptr_t AParam1, void* AParam2) {
  switch (ACommand) {
  case ACTL_GETFARRECT:
    if (!AParam2) return 0;
    *static_cast<win::SMALL_RECT*>(AParam2) = FarRect;
    return 1;
  case ACTL_SETPROGRESSSTATE:
    ProgressState = AParam1;
    return 1;
  case ACTL_SETPROGRESSVALUE:
    if (!AParam2) return 0;
    ProgressValues.push_back(*static_cast<const ProgressValue*>(AParam2));
    return 1;
  default:
    return 0;
  }
}

void TFarModel::DialogFree(void* ADialog) {
  Dialogs.erase(reinterpret_cast<uintptr_t>(ADialog));
}

intptr_t TFarModel::SendDlgMessage(void* ADialog, intptr_t AMsg, intptr_t AParam1, void* AParam2) {
  auto dialog = Dialogs.find(reinterpret_cast<uintptr_t>(ADialog));
  if (dialog == Dialogs.end()) return 0;
  if (AParam1 < 0 || static_cast<size_t>(AParam1) >= dialog->second.size()) return 0;
  TFarDialogItem& item = dialog->second[static_cast<size_t>(AParam1)];
  const auto value = reinterpret_cast<intptr_t>(AParam2);
  switch (AMsg) {
  case DM_GETCHECK:
    return item.Checked;
  case DM_SETCHECK:
    return std::exchange(item.Checked, value);
  case DM_ENABLE: {
    const bool old = item.Enabled;
    if (value != -1) item.Enabled = value != 0;
    return old ? 1 : 0;
  }
  case DM_GETTEXT: {
    auto* data = static_cast<FarDialogItemData*>(AParam2);
    if (data && data->PtrData) {
      const size_t count = std::min(item.Text.size(), data->PtrLength);
      std::copy_n(item.Text.begin(), count, data->PtrData);
      data->PtrData[count] = 0;
    }
    return static_cast<intptr_t>(item.Text.size());
  }
  case DM_SETTEXT: {
    const auto* data = static_cast<const FarDialogItemData*>(AParam2);
    if (!data) return 0;
    item.Text = data->PtrData ? std::u16string(data->PtrData, data->PtrLength) : u"";
    return 1;
  }
  default:
    return 0;
  }
}

size_t TFarModel::ConvertPath(int /*AMode*/, const char16_t* ASource, char16_t* ADest,
                              size_t ADestSize) {
  // Every mode gives the full native form: CPM_REAL's links are left as they are.
  if (!ASource) return 0;
  const std::u16string full = FullName(ASource, true);
  if (full.empty()) return 0;
  return CopyOut(ConvertPathPrefix + full, ADest, ADestSize);
}

size_t TFarModel::MkTemp(char16_t* ADest, size_t ADestSize, const char16_t* APrefix) {
  std::u16string directory = MkTempDirectory.empty() ? GetTempDirectory() : MkTempDirectory;
  if (directory.empty()) return 0;
  if (directory.back() != win::PathDelimiter) directory += win::PathDelimiter;
  const std::u16string prefix = APrefix && *APrefix ? APrefix : u"FAR";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    // Numbers from a start of this run's, so that two runs at once try different names.
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%08X", fMkTempSeed + ++fMkTempCounter);
    const std::string number = digits;
    const std::u16string name =
        directory + prefix + std::u16string(number.begin(), number.end()) + u".tmp";
    if (win::GetFileAttributesW(name.c_str()) != win::INVALID_FILE_ATTRIBUTES) continue;
    if (!ADest || ADestSize < name.size() + 1) return 0;
    CopyOut(name, ADest, ADestSize);
    return name.size();
  }
  return 0;
}

char16_t* TFarModel::TruncPathStr(char16_t* AText, intptr_t AMaxLength) {
  // The root stays, "..." stands for what is cut from the front of the rest.
  if (!AText || AMaxLength < 0) return AText;
  const std::u16string text(AText);
  const auto max = static_cast<size_t>(AMaxLength);
  if (text.size() <= max) return AText;
  std::u16string result;
  if (max <= 3) {
    result = text.substr(0, max);
  } else {
    size_t root = 0;
    if (text.size() > 2 && text[1] == u':' && text[2] == u'\\')
      root = 3;
    else if (text[0] == u'/')
      root = 1;
    if (root + 3 >= max) root = 0;
    result = text.substr(0, root) + u"..." + text.substr(text.size() - (max - root - 3));
  }
  std::copy(result.begin(), result.end(), AText);
  AText[result.size()] = 0;
  return AText;
}
