// A fake FAR for the tests: a PluginStartupInfo and FarStandardFunctions whose services
// are backed by an in-memory model of the host (two panels, editors, message boxes,
// menus, dialogs), with scripted answers, refusals a test can switch on, and a record of
// every call. GetMsg serves the real language files of the source tree.
//
// Files, directories and temporary names are real: editors read and write real files and
// a panel may be filled from a real directory. Only one TFakeFar exists at a time; its
// services are plain functions with the host's calling convention, so the plugin DLL may
// call them too (pass StartupInfo() to its SetStartupInfoW).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "far/Plugin3.h"

class TFakeFar {
public:
  enum class TService {
    Menu,
    Message,
    GetMsg,
    PanelControl,
    Editor,
    EditorControl,
    AdvControl,
    DialogFree,
    SendDlgMessage,
    ConvertPath,
    MkTemp,
    TruncPathStr,
  };
  static constexpr intptr_t AnyCommand = INTPTR_MIN;

  // One call of a service, as the plugin made it.
  struct TCall {
    TService Service;
    intptr_t Command = 0;       // command or message number; GetMsg: the message id
    uintptr_t Handle = 0;       // panel or dialog handle; EditorControl: the editor id
    intptr_t Param1 = 0;        // Param1; Editor: StartLine; Menu: X
    uintptr_t Param2 = 0;       // Param2 as a number (0: none)
    uint64_t Flags = 0;         // Message, Menu, Editor flags
    std::vector<intptr_t> Args; // Editor: X1 Y1 X2 Y2 StartLine StartChar CodePage;
                                // Menu: X Y MaxHeight; Message: ButtonsNumber;
                                // ConvertPath/MkTemp: DestSize; TruncPathStr: MaxLength
    GUID PluginId{};
    GUID Id{};
    // Texts sent: Message items; Menu title, bottom, help topic, then the items; GetMsg:
    // the text answered; Editor file name
    // and title; SETSTRING text; key bar texts (Text, LongText per label); DM_SETTEXT
    // text; ConvertPath source; TruncPathStr input.
    // A null text is recorded as an empty one.
    std::vector<std::u16string> Texts;
    std::string Record; // the record passed in Param2, byte for byte, as sent
    intptr_t Result = 0;
    bool Refused = false;

    // The record passed in Param2, copied out as T.
    template <class T> T RecordAs() const {
      T value{};
      std::memcpy(&value, Record.data(), std::min(Record.size(), sizeof(T)));
      return value;
    }
  };

  struct TPanelItem {
    std::u16string FileName;
    std::u16string AlternateFileName;
    std::u16string Description;
    std::u16string Owner;
    uint64_t Flags = 0;
    uint32_t FileAttributes = 0;
    uint64_t FileSize = 0;
    uint64_t AllocationSize = 0;
    FarFileTime CreationTime{};
    FarFileTime LastAccessTime{};
    FarFileTime LastWriteTime{};
    FarFileTime ChangeTime{};
    uint32_t NumberOfLinks = 1;
    uint32_t CRC32 = 0;

    bool Selected() const { return (Flags & PPIF_SELECTED) != 0; }
    void SetSelected(bool AValue);
  };

  struct TPanel {
    std::u16string Directory;
    std::u16string DirectoryParam;
    std::u16string DirectoryFile;
    GUID DirectoryPlugin{};
    GUID OwnerGuid{};
    uintptr_t PluginHandle = 0;
    uint64_t Flags = 0;
    int32_t Rect[4] = {0, 1, 39, 20};
    std::vector<TPanelItem> Items;
    size_t CurrentItem = 0;
    size_t TopPanelItem = 0;
    intptr_t ViewMode = 2;
    int PanelType = 0;
    int SortMode = 1;
    // Between FCTL_BEGINSELECTION and FCTL_ENDSELECTION.
    bool InSelection = false;

    // Fills the panel from a real directory: ".." first (unless AParentItem is false),
    // then the entries sorted by name. Directory becomes ADirectory without a trailing
    // delimiter (except for a root).
    bool LoadDirectory(const std::u16string& ADirectory, bool AParentItem = true);
    TPanelItem* Find(const std::u16string& AFileName);
    // Selects the named items (false when one is missing).
    bool Select(std::initializer_list<std::u16string> ANames);
    bool SetCurrent(const std::u16string& AFileName);
    size_t SelectedCount() const;
  };

  struct TKeyBarLabel {
    uint16_t VirtualKeyCode;
    uint32_t ControlKeyState;
    std::u16string Text;
    std::u16string LongText;
  };

  struct TEditor {
    intptr_t Id = 0;
    std::u16string FileName;
    std::u16string Title;
    EDITOR_FLAGS Flags = 0;
    uintptr_t CodePage = 65001;
    bool ByteOrderMark = false;
    std::vector<std::u16string> Lines;
    std::vector<std::u16string> Eols; // one per line; the last line's is usually empty
    intptr_t CurLine = 0;
    intptr_t CurPos = 0;
    intptr_t CurTabPos = 0;
    intptr_t TopScreenLine = 0;
    intptr_t LeftPos = 0;
    intptr_t Overtype = 0;
    intptr_t BlockType = BTYPE_NONE;
    intptr_t BlockStartLine = 0;
    intptr_t BlockStartPos = 0;
    intptr_t BlockWidth = 0;
    intptr_t BlockHeight = 0;
    // Per-line selection that overrides the block: line -> (SelStart, SelEnd).
    std::map<intptr_t, std::pair<intptr_t, intptr_t>> LineSelection;
    std::vector<TKeyBarLabel> KeyBar;
    bool KeyBarSet = false;
    int Redraws = 0;
    bool Modified = false;

    // The file's text as the editor holds it (lines joined with their line ends).
    std::u16string Text() const;
    void SetText(const std::u16string& AText);
  };

  struct TDialogItem {
    std::u16string Text;
    intptr_t Checked = 0;
    bool Enabled = true;
  };

  TFakeFar();
  ~TFakeFar();
  TFakeFar(const TFakeFar&) = delete;
  TFakeFar& operator=(const TFakeFar&) = delete;

  // The tables to hand to the plugin's SetStartupInfoW.
  const PluginStartupInfo* StartupInfo() const { return &fInfo; }
  PluginStartupInfo& Info() { return fInfo; }
  FarStandardFunctions& FSF() { return fFSF; }
  // Does what SetStartupInfoW does for the code linked into the test: copies the tables
  // into FarAPI and FarFSF (FarAPI.FSF -> &FarFSF). Undone by the destructor.
  void Install();

  // Language: "Eng" (default) or "Rus", read from QUORVANE_SOURCE_DIR/lng.
  bool SetLanguage(const std::string& ASuffix);
  const std::vector<std::u16string>& Messages() const { return fMessages; }
  std::u16string Msg(intptr_t AId) const;

  // The model.
  TPanel ActivePanel;
  TPanel PassivePanel;
  std::vector<TEditor> Editors;
  intptr_t CurrentEditorId = -1; // -1: no editor is current
  intptr_t NextEditorId = 1;
  // What the Editor service answers when it opens the file (0 makes it fail to open).
  intptr_t EditorResult = EEC_MODIFIED;
  win::SMALL_RECT FarRect{0, 0, 79, 24};
  intptr_t ProgressState = 0;
  std::vector<ProgressValue> ProgressValues;
  std::map<uintptr_t, std::vector<TDialogItem>> Dialogs;
  // ConvertPath puts this before every path it returns (e.g. u"\\\\?\\" as FAR does).
  std::u16string ConvertPathPrefix;
  // Where MkTemp makes its names; empty: the system's temporary directory.
  std::u16string MkTempDirectory;

  // Scripted answers of Message and Menu, taken in order; -1 (cancelled) when none is left.
  std::deque<intptr_t> MessageAnswers;
  std::deque<intptr_t> MenuAnswers;

  TEditor* FindEditor(intptr_t AId); // -1: the current editor
  TEditor* CurrentEditor() { return FindEditor(-1); }
  // Writes the editor's lines back to its file (UTF-8, with the mark if it had one).
  bool SaveEditor(intptr_t AId);
  // Removes the editor, deleting its file when it was opened with
  // EF_DELETEONLYFILEONCLOSE. Send the plugin EE_CLOSE first, as FAR does.
  bool CloseEditor(intptr_t AId);

  // Refusals: the service (or one command of it) answers as a refusing host: 0, -1 for
  // Message and Menu, null for GetMsg, the input unchanged for TruncPathStr.
  void Refuse(TService AService, intptr_t ACommand = AnyCommand);
  void Accept(TService AService, intptr_t ACommand = AnyCommand);

  // The record of calls.
  std::vector<TCall> Calls;
  std::vector<TCall> CallsOf(TService AService, intptr_t ACommand = AnyCommand) const;
  size_t CountOf(TService AService, intptr_t ACommand = AnyCommand) const;
  void ClearCalls() { Calls.clear(); }

  // The one instance (null when none exists).
  static TFakeFar* Instance() { return fInstance; }

  // Service implementations (called through the static trampolines).
  intptr_t DoMenu(TCall& ACall, const FarMenuItem* AItems, size_t ACount, intptr_t* ABreakCode);
  intptr_t DoMessage(TCall& ACall);
  const char16_t* DoGetMsg(intptr_t AMsgId);
  intptr_t DoPanelControl(TCall& ACall, void* AParam2);
  intptr_t DoEditor(TCall& ACall);
  intptr_t DoEditorControl(TCall& ACall, void* AParam2);
  intptr_t DoAdvControl(TCall& ACall, void* AParam2);
  void DoDialogFree(TCall& ACall);
  intptr_t DoSendDlgMessage(TCall& ACall, void* AParam2);
  size_t DoConvertPath(TCall& ACall, const char16_t* ASrc, char16_t* ADest, size_t ASize);
  size_t DoMkTemp(TCall& ACall, char16_t* ADest, size_t ASize, const char16_t* APrefix);
  char16_t* DoTruncPathStr(TCall& ACall, char16_t* AStr, intptr_t AMaxLength);

  bool IsRefused(TService AService, intptr_t ACommand) const;

private:
  TPanel* PanelOf(uintptr_t AHandle);

  static TFakeFar* fInstance;
  PluginStartupInfo fInfo{};
  FarStandardFunctions fFSF{};
  bool fInstalled = false;
  std::vector<std::u16string> fMessages;
  std::set<std::pair<TService, intptr_t>> fRefused;
  int fMkTempCounter = 0;
};
