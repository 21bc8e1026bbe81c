// The header of the list as the terminal host serves it: what to do in a terminal editor,
// where FAR's keys mean nothing. The plugin asks for it as for any of its texts.
#pragma once

#include <string>
#include <vector>

namespace host {

// Puts the host's header (htListHeader, in the language of the host's texts) in place of
// the plugin's among AMessages, the texts by id of the plugin's language file.
void UseHostListHeader(std::vector<std::u16string>& AMessages);

} // namespace host
