#include "messages/uMessages.h"

#include <vector>

#include "far/uFAR.h"

const char16_t* GetMessageText(TMessageId AId) {
  if (AId == MNone) return u"";
  const char16_t* text = farhost::GetMsg(AId);
  // A host without the text would otherwise hand a null pointer to every caller.
  return text ? text : u"";
}

intptr_t ShowMessageIds(const TMessageId* AIds, size_t ACount, int32_t AButtons, uint64_t AFlags) {
  std::vector<const char16_t*> texts;
  texts.reserve(ACount);
  for (size_t i = 0; i < ACount; ++i)
    texts.push_back(GetMessageText(AIds[i]));
  return TFarUtils::ShowMessage(texts.data(), static_cast<int32_t>(texts.size()), AFlags, AButtons);
}

intptr_t ShowMessageIds(std::initializer_list<TMessageId> AIds, int32_t AButtons, uint64_t AFlags) {
  return ShowMessageIds(AIds.begin(), AIds.size(), AButtons, AFlags);
}
