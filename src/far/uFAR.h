// The host wrapper: classes over FAR's plugin interface. Every host call goes through the
// service tables copied at start-up (FarAPI, FarFSF). Nothing in this layer raises an
// error of its own: a refusing host gives false, an empty string or a fallback.
// Complete on purpose: TFarDialog, TFarEditorManaged and TFarUtils operations unused today stay.
#pragma once

#include "far/uFarDialog.h"
#include "far/uFarEditor.h"
#include "far/uFarEditorManaged.h"
#include "far/uFarHost.h"
#include "far/uFarPanel.h"
#include "far/uFarUtils.h"

// Unit start-up and shut-down: the registries of dialogs and managed editors are created
// empty, and destroyed without touching their members.
void InitializeFAR();
void FinalizeFAR();
