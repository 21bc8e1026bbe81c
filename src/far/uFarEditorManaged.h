// A file opened in the host's editor that stays attached to that editor: when the host
// reports the editor closing, the object either destroys itself or opens the editor again
// on the same file with the cursor where it was.
//
// Objects are created with new; the registry (ManagedEditors) leads from a host editor id
// back to its object, and a close that the object accepts deletes it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "far/uFarHost.h"

class TFarEditorManaged;

// The registry of managed editors; it does not own its members. Exists between
// InitializeFAR and FinalizeFAR.
extern std::vector<TFarEditorManaged*>* ManagedEditors;

class TFarEditorManaged {
public:
  explicit TFarEditorManaged(const std::u16string& AFileName);
  virtual ~TFarEditorManaged();

  TFarEditorManaged(const TFarEditorManaged&) = delete;
  TFarEditorManaged& operator=(const TFarEditorManaged&) = delete;

  // Called when the host reports the editor closing; AClose arrives true, and true on
  // return destroys the object, false reopens the editor. AResult is the event's result.
  virtual void EditorClosed(bool& AClose, int32_t& AResult);
  // Called after ShowEditor has opened the editor and recorded its id.
  virtual void EditorShown();

  // Opens fFileName in a host editor that returns at once; true when it opened and its id
  // could be read.
  bool ShowEditor(const char16_t* ATitle, int32_t AX1, int32_t AY1, int32_t AX2, int32_t AY2,
                  int64_t AFlags, int32_t AStartLine, int32_t AStartChar, uint32_t ACodePage);

  // The earliest registered object showing editor AEditorID (-1: the current editor).
  static bool FindByEditorID(int32_t AEditorID, TFarEditorManaged*& AEditor);
  // Takes one host editor event; only EE_CLOSE matters.
  static void ProcessEditorEvent(int32_t AEvent, int32_t AEditorID, int32_t& AResult);

  int32_t EditorID() const { return fEditorID; }
  const std::u16string& FileName() const { return fFileName; }

private:
  void Reopen();

  int32_t fEditorID = 0;
  std::u16string fEditorTitle;
  int64_t fEditorFlags = 0;
  uint32_t fEditorCodePage = 0;
  std::u16string fFileName;
};
