// The header of the list as the terminal host serves it: what to do in a terminal editor,
// where FAR's keys mean nothing. The plugin asks for it as for any of its texts.
#pragma once

#include <string>
#include <vector>

namespace host {

// Puts the host's header in place of the plugin's among AMessages, the texts by id of
// the language file ALanguage: English unless that is Russian. It holds "${DIRECTORY}",
// where the plugin puts the folder, and as many lines as the plugin's own header.
void UseHostListHeader(std::vector<std::u16string>& AMessages, const std::u16string& ALanguage);

} // namespace host
