#include "farside/uPanelRecords.h"

#include <algorithm>

namespace {

size_t TextBytes(std::u16string_view AText) {
  return AText.data() ? (AText.size() + 1) * sizeof(char16_t) : 0;
}

// Copies AText with its zero to ANext and moves ANext past it; null for a default view.
const char16_t* PutText(char16_t*& ANext, std::u16string_view AText) {
  if (!AText.data()) return nullptr;
  char16_t* text = ANext;
  std::copy(AText.begin(), AText.end(), text);
  text[AText.size()] = 0;
  ANext += AText.size() + 1;
  return text;
}

template <class T> char16_t* TextAfter(T* ARecord) {
  return reinterpret_cast<char16_t*>(reinterpret_cast<unsigned char*>(ARecord) + sizeof(T));
}

} // namespace

size_t PanelItemSize(const TPanelItemRecord& ARecord) {
  return sizeof(PluginPanelItem) + TextBytes(ARecord.FileName) +
         TextBytes(ARecord.AlternateFileName) + TextBytes(ARecord.Description) +
         TextBytes(ARecord.Owner);
}

void PackPanelItem(const TPanelItemRecord& ARecord, PluginPanelItem* ADest) {
  *ADest = ARecord.Fields;
  char16_t* next = TextAfter(ADest);
  ADest->FileName = PutText(next, ARecord.FileName);
  ADest->AlternateFileName = PutText(next, ARecord.AlternateFileName);
  ADest->Description = PutText(next, ARecord.Description);
  ADest->Owner = PutText(next, ARecord.Owner);
}

size_t PanelDirectorySize(const TPanelDirectoryRecord& ARecord) {
  return sizeof(FarPanelDirectory) + TextBytes(ARecord.Name) + TextBytes(ARecord.Param) +
         TextBytes(ARecord.File);
}

void PackPanelDirectory(const TPanelDirectoryRecord& ARecord, FarPanelDirectory* ADest) {
  const size_t structSize = ADest->StructSize;
  *ADest = FarPanelDirectory{};
  ADest->StructSize = structSize;
  ADest->PluginId = ARecord.PluginId;
  char16_t* next = TextAfter(ADest);
  ADest->Name = PutText(next, ARecord.Name);
  ADest->Param = PutText(next, ARecord.Param);
  ADest->File = PutText(next, ARecord.File);
}
