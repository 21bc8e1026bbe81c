#include "far/uFarEditorManaged.h"

#include <algorithm>

#include "far/uFarEditor.h"
#include "far/uFarUtils.h"
#include "system/uWindows.h"

std::vector<TFarEditorManaged*>* ManagedEditors = nullptr;

TFarEditorManaged::TFarEditorManaged(const std::u16string& AFileName) : fFileName(AFileName) {
  if (ManagedEditors) ManagedEditors->push_back(this);
}

TFarEditorManaged::~TFarEditorManaged() {
  if (!ManagedEditors) return;
  auto it = std::find(ManagedEditors->begin(), ManagedEditors->end(), this);
  if (it != ManagedEditors->end()) ManagedEditors->erase(it);
}

void TFarEditorManaged::EditorClosed(bool& /*AClose*/, int32_t& /*AResult*/) {}

void TFarEditorManaged::EditorShown() {}

bool TFarEditorManaged::ShowEditor(const char16_t* ATitle, int32_t AX1, int32_t AY1, int32_t AX2,
                                   int32_t AY2, int64_t AFlags, int32_t AStartLine,
                                   int32_t AStartChar, uint32_t ACodePage) {
  fEditorTitle = TFarUtils::CopyString(ATitle);
  fEditorFlags = AFlags;
  fEditorCodePage = ACodePage;
  const intptr_t answer = farhost::Editor(fFileName.c_str(), ATitle, AX1, AY1, AX2, AY2,
                                          static_cast<EDITOR_FLAGS>(AFlags) | EF_IMMEDIATERETURN,
                                          AStartLine, AStartChar, ACodePage);
  TEditorInfo info;
  if (answer != EEC_MODIFIED || !TFarEditor::GetInfo(-1, info)) return false;
  fEditorID = static_cast<int32_t>(info.EditorID);
  EditorShown();
  return true;
}

bool TFarEditorManaged::FindByEditorID(int32_t AEditorID, TFarEditorManaged*& AEditor) {
  AEditor = nullptr;
  if (AEditorID == -1) {
    TEditorInfo info;
    if (TFarEditor::GetInfo(-1, info)) AEditorID = static_cast<int32_t>(info.EditorID);
  }
  if (AEditorID < 0 || !ManagedEditors) return false;
  for (TFarEditorManaged* editor : *ManagedEditors)
    if (editor->fEditorID == AEditorID) {
      AEditor = editor;
      return true;
    }
  return false;
}

void TFarEditorManaged::ProcessEditorEvent(int32_t AEvent, int32_t AEditorID, int32_t& AResult) {
  if (AEvent != EE_CLOSE) return;
  TFarEditorManaged* editor = nullptr;
  if (!FindByEditorID(AEditorID, editor)) return;
  bool close = true;
  editor->EditorClosed(close, AResult);
  if (close)
    delete editor;
  else
    editor->Reopen();
}

void TFarEditorManaged::Reopen() {
  if ((static_cast<EDITOR_FLAGS>(fEditorFlags) & EF_DELETEONLYFILEONCLOSE) != 0) {
    // The host deletes the file with the closing editor: keep it under a new name.
    const std::u16string newName = TFarUtils::TempFileName();
    if (!newName.empty() && win::MoveFileW(fFileName.c_str(), newName.c_str())) fFileName = newName;
  }
  TEditorInfo info;
  if (TFarEditor::GetInfo(fEditorID, info)) {
    // ShowEditor stores the title again: pass a copy, not the field itself.
    const std::u16string title = fEditorTitle;
    if (ShowEditor(title.c_str(), -1, -1, -1, -1, fEditorFlags, static_cast<int32_t>(info.CurLine),
                   static_cast<int32_t>(info.CurPos), static_cast<uint32_t>(info.CodePage)))
      TFarEditor::SetCursorPosition(
          fEditorID, static_cast<int32_t>(info.CurLine), static_cast<int32_t>(info.CurPos),
          static_cast<int32_t>(info.CurTabPos), static_cast<int32_t>(info.TopScreenLine),
          static_cast<int32_t>(info.LeftPos), static_cast<int32_t>(info.Overtype));
  } else {
    const std::u16string title = fEditorTitle;
    ShowEditor(title.c_str(), 0, 0, -1, -1, fEditorFlags, 0, 1, fEditorCodePage);
  }
}
