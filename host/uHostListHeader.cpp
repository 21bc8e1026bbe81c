#include "uHostListHeader.h"

#include "messages/uMessages.h"
#include "uHostMessages.h"

namespace host {

void UseHostListHeader(std::vector<std::u16string>& AMessages) {
  if (AMessages.size() > MListHeader) AMessages[MListHeader] = Say(htListHeader);
}

} // namespace host
