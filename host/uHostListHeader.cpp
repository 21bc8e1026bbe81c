#include "uHostListHeader.h"

#include "farside/uFarNames.h"
#include "messages/uMessages.h"

namespace host {

namespace {

const char16_t* HostListHeader(const std::u16string& ALanguage) {
  if (CompareNames(ALanguage, u"Russian") == 0)
    return u"Quorvane: переименование файлов в ${DIRECTORY}\n"
           u"Измените имена во втором столбце, не трогая кавычек, затем сохраните файл и "
           u"выйдите из редактора \u2014 файлы будут переименованы.\n"
           u"Строка без изменений или удалённая оставляет свой файл как есть; чтобы ничего не "
           u"переименовывать, выйдите без сохранения.";
  return u"Quorvane: rename files in ${DIRECTORY}\n"
         u"Change the names in the second column, keeping their quotes, then save the file and "
         u"quit the editor to rename the files.\n"
         u"A line left as it is, or deleted, leaves its file alone; quit without saving to "
         u"rename nothing.";
}

} // namespace

void UseHostListHeader(std::vector<std::u16string>& AMessages, const std::u16string& ALanguage) {
  if (AMessages.size() > MListHeader) AMessages[MListHeader] = HostListHeader(ALanguage);
}

} // namespace host
