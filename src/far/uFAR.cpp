#include "far/uFAR.h"

void InitializeFAR() {
  if (!FarDialogs) FarDialogs = new std::vector<TFarDialog*>();
  if (!ManagedEditors) ManagedEditors = new std::vector<TFarEditorManaged*>();
}

// Members left in the registries are not destroyed; an object that outlives its registry
// simply finds none.
void FinalizeFAR() {
  delete FarDialogs;
  FarDialogs = nullptr;
  delete ManagedEditors;
  ManagedEditors = nullptr;
}
