// The screen as FAR saves and puts it back around a box without buttons.
#include <algorithm>

#include "farside/uFarModel.h"

void* TFarModel::SaveScreen() {
  SavedScreens.push_back(fNextScreen++);
  return reinterpret_cast<void*>(SavedScreens.back());
}

// FAR puts back what it saved and frees it; a null or unknown handle redraws the screen.
void TFarModel::RestoreScreen(void* AScreen) {
  const auto found =
      std::find(SavedScreens.begin(), SavedScreens.end(), reinterpret_cast<uintptr_t>(AScreen));
  if (found != SavedScreens.end()) SavedScreens.erase(found);
  fUser.ScreenRestored();
}
