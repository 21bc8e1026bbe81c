#include "farside/uFarUser.h"

intptr_t TScriptedUser::Answer(const TFarMessageBox& ABox) {
  BoxesShown.push_back(ABox);
  if (WhileAsked) WhileAsked(BoxesShown.size());
  if (MessageAnswers.empty()) return -1;
  const intptr_t answer = MessageAnswers.front();
  MessageAnswers.pop_front();
  return answer;
}

intptr_t TScriptedUser::Choose(const TFarMenu& AMenu) {
  MenusShown.push_back(AMenu);
  if (MenuAnswers.empty()) return -1;
  const intptr_t answer = MenuAnswers.front();
  MenuAnswers.pop_front();
  return answer < static_cast<intptr_t>(AMenu.Items.size()) ? answer : -1;
}
