#include "farside/uFarCalls.h"

namespace {

bool Matches(const TFarCall& ACall, TFarService AService, intptr_t ACommand) {
  return ACall.Service == AService &&
         (ACommand == TFarCallLog::AnyCommand || ACall.Command == ACommand);
}

} // namespace

std::vector<TFarCall> TFarCallLog::CallsOf(TFarService AService, intptr_t ACommand) const {
  std::vector<TFarCall> result;
  for (const TFarCall& call : Calls)
    if (Matches(call, AService, ACommand)) result.push_back(call);
  return result;
}

size_t TFarCallLog::CountOf(TFarService AService, intptr_t ACommand) const {
  return static_cast<size_t>(std::count_if(Calls.begin(), Calls.end(), [&](const TFarCall& c) {
    return Matches(c, AService, ACommand);
  }));
}

void TFarCallLog::Refuse(TFarService AService, intptr_t ACommand) {
  fRefused.insert({AService, ACommand});
}

void TFarCallLog::Accept(TFarService AService, intptr_t ACommand) {
  fRefused.erase({AService, ACommand});
}

bool TFarCallLog::IsRefused(TFarService AService, intptr_t ACommand) const {
  return !fRefused.empty() &&
         (fRefused.count({AService, AnyCommand}) != 0 || fRefused.count({AService, ACommand}) != 0);
}
