// The plugin as quorvane-run uses it: the module with all seven exports, and the reason
// in words when it cannot be had.
#pragma once

#include <string>

#include "farside/uPluginModule.h"

namespace host {

class TPlugin : public TPluginModule {
public:
  // Loads the module and checks that it has every export; false with AError set otherwise.
  bool Load(const std::u16string& AFileName, std::string& AError);
};

} // namespace host
