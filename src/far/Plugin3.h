// FAR Manager 3's plugin interface: the records, services and constants this plugin
// exchanges with the host.
//
// One declaration serves x86 and x64: fields that FAR declares pointer-sized are
// intptr_t, size_t or pointers here, and flags are 64-bit. Strings are UTF-16
// (char16_t). On x86 the host calls and is called with __stdcall (FARAPI_CALL).
// The static_asserts at the end pin the layouts the host expects.
//
// Nothing here clashes with <windows.h>: GUID is Windows' own type on Windows, and the
// other records that Windows also declares live in namespace win or carry FAR's names.
#pragma once

#include <cstddef>
#include <cstdint>

#include "far/FarColor.h"
#include "far/FarKeysW.h"

#if defined(_WIN32) && !defined(_WIN64)
#define FARAPI_CALL __stdcall
#else
#define FARAPI_CALL
#endif

// GUID: Windows' own declaration on Windows (so that <windows.h> may come before or
// after this header), the same 16 bytes elsewhere.
#ifdef _WIN32
#include <guiddef.h>
#else
struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};
#endif
static_assert(sizeof(GUID) == 16);

// ---------------------------------------------------------------------------------------
// Flag types and constants

using PLUGIN_FLAGS = uint64_t;
constexpr PLUGIN_FLAGS PF_NONE = 0;
constexpr PLUGIN_FLAGS PF_EDITOR = 0x4;

using FARMESSAGEFLAGS = uint64_t;
constexpr FARMESSAGEFLAGS FMSG_NONE = 0;
constexpr FARMESSAGEFLAGS FMSG_WARNING = 0x1;

using FARMENUFLAGS = uint64_t;
constexpr FARMENUFLAGS FMENU_NONE = 0;
constexpr FARMENUFLAGS FMENU_WRAPMODE = 0x2;
constexpr FARMENUFLAGS FMENU_AUTOHIGHLIGHT = 0x4;

using MENUITEMFLAGS = uint64_t;
constexpr MENUITEMFLAGS MIF_NONE = 0;

using EDITOR_FLAGS = uint64_t;
constexpr EDITOR_FLAGS EF_NONE = 0;
constexpr EDITOR_FLAGS EF_NONMODAL = 0x1;
constexpr EDITOR_FLAGS EF_DISABLEHISTORY = 0x8;
constexpr EDITOR_FLAGS EF_IMMEDIATERETURN = 0x100;
constexpr EDITOR_FLAGS EF_DELETEONLYFILEONCLOSE = 0x200;
constexpr EDITOR_FLAGS EF_DISABLESAVEPOS = 0x800;

using PANELINFOFLAGS = uint64_t;
constexpr PANELINFOFLAGS PFLAGS_NONE = 0;
constexpr PANELINFOFLAGS PFLAGS_REALNAMES = 0x20;
constexpr PANELINFOFLAGS PFLAGS_PANELLEFT = 0x80;
constexpr PANELINFOFLAGS PFLAGS_PLUGIN = 0x800;

using PLUGINPANELITEMFLAGS = uint64_t;
constexpr PLUGINPANELITEMFLAGS PPIF_NONE = 0;
constexpr PLUGINPANELITEMFLAGS PPIF_SELECTED = 0x40000000;

using FARDIALOGITEMFLAGS = uint64_t;

// Where OpenW was called from (OpenInfo.OpenFrom).
constexpr int OPEN_PLUGINSMENU = 1;
constexpr int OPEN_EDITOR = 5;
constexpr int OPEN_FROMMACRO = 11;

// Editor events (ProcessEditorEventInfo.Event).
constexpr intptr_t EE_READ = 0;
constexpr intptr_t EE_SAVE = 1;
constexpr intptr_t EE_REDRAW = 2;
constexpr intptr_t EE_CLOSE = 3;
constexpr intptr_t EE_GOTFOCUS = 6;
constexpr intptr_t EE_KILLFOCUS = 7;
constexpr intptr_t EE_CHANGE = 8;

// EditorControl commands.
constexpr int ECTL_GETSTRING = 0;
constexpr int ECTL_SETSTRING = 1;
constexpr int ECTL_GETINFO = 6;
constexpr int ECTL_SETPOSITION = 7;
constexpr int ECTL_SELECT = 8;
constexpr int ECTL_REDRAW = 9;
constexpr int ECTL_SETKEYBAR = 20;
constexpr int ECTL_GETFILENAME = 33;

// PanelControl commands.
constexpr int FCTL_GETPANELINFO = 1;
constexpr int FCTL_UPDATEPANEL = 2;
constexpr int FCTL_REDRAWPANEL = 3;
constexpr int FCTL_SETSELECTION = 6;
constexpr int FCTL_GETPANELITEM = 21;
constexpr int FCTL_GETPANELDIRECTORY = 24;
constexpr int FCTL_BEGINSELECTION = 27;
constexpr int FCTL_ENDSELECTION = 28;

// The panels PanelControl addresses without a plugin handle.
inline void* const PANEL_ACTIVE = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
inline void* const PANEL_PASSIVE = reinterpret_cast<void*>(static_cast<intptr_t>(-2));

// AdvControl commands.
constexpr int ACTL_SETPROGRESSSTATE = 21;
constexpr int ACTL_SETPROGRESSVALUE = 22;
constexpr int ACTL_GETFARRECT = 24;

// Task-bar progress states (ACTL_SETPROGRESSSTATE), as the Windows task bar has them.
constexpr intptr_t TBPF_NOPROGRESS = 0;
constexpr intptr_t TBPF_NORMAL = 2;

// Dialog messages.
constexpr intptr_t DM_ENABLE = 2;
constexpr intptr_t DM_GETTEXT = 7;
constexpr intptr_t DM_SETTEXT = 15;
constexpr intptr_t DM_GETCHECK = 25;
constexpr intptr_t DM_SETCHECK = 26;

constexpr intptr_t BSTATE_UNCHECKED = 0;
constexpr intptr_t BSTATE_CHECKED = 1;

// Editor block types (EditorSelect.BlockType, EditorInfo.BlockType).
constexpr intptr_t BTYPE_NONE = 0;
constexpr intptr_t BTYPE_STREAM = 1;
constexpr intptr_t BTYPE_COLUMN = 2;

// ConvertPath modes.
constexpr int CPM_NATIVE = 2;

// VersionInfo.Stage.
constexpr int VS_RELEASE = 0;

// Editor answers: what the Editor service reports.
constexpr intptr_t EEC_OPEN_ERROR = 0;
constexpr intptr_t EEC_MODIFIED = 1;
constexpr intptr_t EEC_NOT_MODIFIED = 2;
constexpr intptr_t EEC_LOADING_INTERRUPTED = 3;

// ---------------------------------------------------------------------------------------
// Records

struct VersionInfo {
  uint32_t Major;
  uint32_t Minor;
  uint32_t Revision;
  uint32_t Build;
  int32_t Stage;
};

struct GlobalInfo {
  size_t StructSize;
  VersionInfo MinFarVersion;
  VersionInfo Version;
  GUID Guid;
  const char16_t* Title;
  const char16_t* Description;
  const char16_t* Author;
};

struct PluginMenuItem {
  const GUID* Guids;
  const char16_t* const* Strings;
  size_t Count;
};

struct PluginInfo {
  size_t StructSize;
  PLUGIN_FLAGS Flags;
  PluginMenuItem DiskMenu;
  PluginMenuItem PluginMenu;
  PluginMenuItem PluginConfig;
  const char16_t* CommandPrefix;
};

struct OpenInfo {
  size_t StructSize;
  int OpenFrom;
  const GUID* Guid;
  intptr_t Data;
};

struct ExitInfo {
  size_t StructSize;
  void* Instance;
};

struct ProcessEditorEventInfo {
  size_t StructSize;
  intptr_t Event;
  void* Param;
  intptr_t EditorID;
};

struct ProcessEditorInputInfo {
  size_t StructSize;
  win::INPUT_RECORD Rec;
};

struct PanelInfo {
  size_t StructSize;
  void* PluginHandle;
  GUID OwnerGuid;
  PANELINFOFLAGS Flags;
  size_t ItemsNumber;
  size_t SelectedItemsNumber;
  struct {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
  } PanelRect;
  size_t CurrentItem;
  size_t TopPanelItem;
  intptr_t ViewMode;
  int PanelType;
  int SortMode;
};

struct FarPanelDirectory {
  size_t StructSize;
  const char16_t* Name;
  const char16_t* Param;
  GUID PluginId;
  const char16_t* File;
};

// A Windows FILETIME: 100-ns ticks since 1601, in two 32-bit halves.
struct FarFileTime {
  uint32_t dwLowDateTime;
  uint32_t dwHighDateTime;
};

typedef void(FARAPI_CALL* FARPANELITEMFREECALLBACK)(void* UserData, const void* Info);

struct UserDataItem {
  void* Data;
  FARPANELITEMFREECALLBACK FreeData;
};

struct PluginPanelItem {
  FarFileTime CreationTime;
  FarFileTime LastAccessTime;
  FarFileTime LastWriteTime;
  FarFileTime ChangeTime;
  uint64_t FileSize;
  uint64_t AllocationSize;
  const char16_t* FileName;
  const char16_t* AlternateFileName;
  const char16_t* Description;
  const char16_t* Owner;
  const char16_t* const* CustomColumnData;
  size_t CustomColumnNumber;
  PLUGINPANELITEMFLAGS Flags;
  UserDataItem UserData;
  uintptr_t FileAttributes;
  uintptr_t NumberOfLinks;
  uintptr_t CRC32;
  intptr_t Reserved[2];
};

struct FarGetPluginPanelItem {
  size_t StructSize;
  size_t Size;
  PluginPanelItem* Item;
};

struct EditorInfo {
  size_t StructSize;
  intptr_t EditorID;
  intptr_t WindowSizeX;
  intptr_t WindowSizeY;
  intptr_t TotalLines;
  intptr_t CurLine;
  intptr_t CurPos;
  intptr_t CurTabPos;
  intptr_t TopScreenLine;
  intptr_t LeftPos;
  intptr_t Overtype;
  intptr_t BlockType;
  intptr_t BlockStartLine;
  uintptr_t Options;
  intptr_t TabSize;
  size_t BookmarkCount;
  size_t SessionBookmarkCount;
  uintptr_t CurState;
  uintptr_t CodePage;
};

struct EditorGetString {
  size_t StructSize;
  intptr_t StringNumber;
  intptr_t StringLength;
  const char16_t* StringText;
  const char16_t* StringEOL;
  intptr_t SelStart;
  intptr_t SelEnd;
};

struct EditorSetString {
  size_t StructSize;
  intptr_t StringNumber;
  intptr_t StringLength;
  const char16_t* StringText;
  const char16_t* StringEOL;
};

struct EditorSetPosition {
  size_t StructSize;
  intptr_t CurLine;
  intptr_t CurPos;
  intptr_t CurTabPos;
  intptr_t TopScreenLine;
  intptr_t LeftPos;
  intptr_t Overtype;
};

struct EditorSelect {
  size_t StructSize;
  intptr_t BlockType;
  intptr_t BlockStartLine;
  intptr_t BlockStartPos;
  intptr_t BlockWidth;
  intptr_t BlockHeight;
};

struct FarKey {
  uint16_t VirtualKeyCode;
  uint32_t ControlKeyState;
};

struct KeyBarLabel {
  FarKey Key;
  const char16_t* Text;
  const char16_t* LongText;
};

struct KeyBarTitles {
  size_t CountLabels;
  KeyBarLabel* Labels;
};

struct FarSetKeyBarTitles {
  size_t StructSize;
  KeyBarTitles* Titles;
};

struct FarMenuItem {
  MENUITEMFLAGS Flags;
  const char16_t* Text;
  FarKey AccelKey;
  intptr_t UserData;
  intptr_t Reserved[2];
};

struct FarDialogItem {
  int Type;
  intptr_t X1;
  intptr_t Y1;
  intptr_t X2;
  intptr_t Y2;
  union {
    intptr_t Selected;
    void* ListItems;
    void* VBuf;
    intptr_t Reserved0;
  };
  const char16_t* History;
  const char16_t* Mask;
  FARDIALOGITEMFLAGS Flags;
  const char16_t* Data;
  size_t MaxLength;
  intptr_t UserData;
  intptr_t Reserved[2];
};

struct FarDialogItemData {
  size_t StructSize;
  size_t PtrLength;
  char16_t* PtrData;
};

struct ProgressValue {
  size_t StructSize;
  uint64_t Completed;
  uint64_t Total;
};

// ---------------------------------------------------------------------------------------
// Services

typedef intptr_t(FARAPI_CALL* FARAPIMENU)(const GUID* PluginId, const GUID* Id, intptr_t X,
                                          intptr_t Y, intptr_t MaxHeight, FARMENUFLAGS Flags,
                                          const char16_t* Title, const char16_t* Bottom,
                                          const char16_t* HelpTopic, const FarKey* BreakKeys,
                                          intptr_t* BreakCode, const FarMenuItem* Item,
                                          size_t ItemsNumber);
typedef intptr_t(FARAPI_CALL* FARAPIMESSAGE)(const GUID* PluginId, const GUID* Id,
                                             FARMESSAGEFLAGS Flags, const char16_t* HelpTopic,
                                             const char16_t* const* Items, size_t ItemsNumber,
                                             intptr_t ButtonsNumber);
typedef const char16_t*(FARAPI_CALL* FARAPIGETMSG)(const GUID* PluginId, intptr_t MsgId);
typedef intptr_t(FARAPI_CALL* FARAPIPANELCONTROL)(void* hPanel, int Command, intptr_t Param1,
                                                  void* Param2);
typedef intptr_t(FARAPI_CALL* FARAPIEDITOR)(const char16_t* FileName, const char16_t* Title,
                                            intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2,
                                            EDITOR_FLAGS Flags, intptr_t StartLine,
                                            intptr_t StartChar, uintptr_t CodePage);
typedef intptr_t(FARAPI_CALL* FARAPIEDITORCONTROL)(intptr_t EditorID, int Command, intptr_t Param1,
                                                   void* Param2);
typedef intptr_t(FARAPI_CALL* FARAPIADVCONTROL)(const GUID* PluginId, int Command, intptr_t Param1,
                                                void* Param2);
typedef void*(FARAPI_CALL* FARAPISAVESCREEN)(intptr_t X1, intptr_t Y1, intptr_t X2, intptr_t Y2);
typedef void(FARAPI_CALL* FARAPIRESTORESCREEN)(void* hScreen);
typedef void(FARAPI_CALL* FARAPIDIALOGFREE)(void* hDlg);
typedef intptr_t(FARAPI_CALL* FARAPISENDDLGMESSAGE)(void* hDlg, intptr_t Msg, intptr_t Param1,
                                                    void* Param2);

typedef size_t(FARAPI_CALL* FARCONVERTPATH)(int Mode, const char16_t* Src, char16_t* Dest,
                                            size_t DestSize);
typedef size_t(FARAPI_CALL* FARSTDMKTEMP)(char16_t* Dest, size_t DestSize, const char16_t* Prefix);
typedef char16_t*(FARAPI_CALL* FARSTDTRUNCPATHSTR)(char16_t* Str, intptr_t MaxLength);

// A service this plugin never calls: only its slot in the table matters.
typedef void(FARAPI_CALL* FARAPIUNUSED)();

struct FarStandardFunctions {
  size_t StructSize;
  FARAPIUNUSED atoi;
  FARAPIUNUSED atoi64;
  FARAPIUNUSED itoa;
  FARAPIUNUSED itoa64;
  FARAPIUNUSED sprintf;
  FARAPIUNUSED sscanf;
  FARAPIUNUSED qsort;
  FARAPIUNUSED bsearch;
  FARAPIUNUSED snprintf;
  FARAPIUNUSED LIsLower;
  FARAPIUNUSED LIsUpper;
  FARAPIUNUSED LIsAlpha;
  FARAPIUNUSED LIsAlphanum;
  FARAPIUNUSED LUpper;
  FARAPIUNUSED LLower;
  FARAPIUNUSED LUpperBuf;
  FARAPIUNUSED LLowerBuf;
  FARAPIUNUSED LStrupr;
  FARAPIUNUSED LStrlwr;
  FARAPIUNUSED LStricmp;
  FARAPIUNUSED LStrnicmp;
  FARAPIUNUSED Unquote;
  FARAPIUNUSED LTrim;
  FARAPIUNUSED RTrim;
  FARAPIUNUSED Trim;
  FARAPIUNUSED TruncStr;
  FARSTDTRUNCPATHSTR TruncPathStr;
  FARAPIUNUSED QuoteSpaceOnly;
  FARAPIUNUSED PointToName;
  FARAPIUNUSED GetPathRoot;
  FARAPIUNUSED AddEndSlash;
  FARAPIUNUSED CopyToClipboard;
  FARAPIUNUSED PasteFromClipboard;
  FARAPIUNUSED FarInputRecordToName;
  FARAPIUNUSED FarNameToInputRecord;
  FARAPIUNUSED XLat;
  FARAPIUNUSED GetFileOwner;
  FARAPIUNUSED GetNumberOfLinks;
  FARAPIUNUSED FarRecursiveSearch;
  FARSTDMKTEMP MkTemp;
  FARAPIUNUSED ProcessName;
  FARAPIUNUSED MkLink;
  FARCONVERTPATH ConvertPath;
  FARAPIUNUSED GetReparsePointInfo;
  FARAPIUNUSED GetCurrentDirectory;
  FARAPIUNUSED FormatFileSize;
};

struct PluginStartupInfo {
  size_t StructSize;
  const char16_t* ModuleName;
  FARAPIMENU Menu;
  FARAPIMESSAGE Message;
  FARAPIGETMSG GetMsg;
  FARAPIPANELCONTROL PanelControl;
  FARAPISAVESCREEN SaveScreen;
  FARAPIRESTORESCREEN RestoreScreen;
  FARAPIUNUSED GetDirList;
  FARAPIUNUSED GetPluginDirList;
  FARAPIUNUSED FreeDirList;
  FARAPIUNUSED FreePluginDirList;
  FARAPIUNUSED Viewer;
  FARAPIEDITOR Editor;
  FARAPIUNUSED Text;
  FARAPIEDITORCONTROL EditorControl;
  FarStandardFunctions* FSF;
  FARAPIUNUSED ShowHelp;
  FARAPIADVCONTROL AdvControl;
  FARAPIUNUSED InputBox;
  FARAPIUNUSED ColorDialog;
  FARAPIUNUSED DialogInit;
  FARAPIUNUSED DialogRun;
  FARAPIDIALOGFREE DialogFree;
  FARAPISENDDLGMESSAGE SendDlgMessage;
  FARAPIUNUSED DefDlgProc;
  FARAPIUNUSED ViewerControl;
  FARAPIUNUSED PluginsControl;
  FARAPIUNUSED FileFilterControl;
  FARAPIUNUSED RegExpControl;
  FARAPIUNUSED MacroControl;
  FARAPIUNUSED SettingsControl;
  void* Private;
};

// ---------------------------------------------------------------------------------------
// Layouts. Every table and record is a sequence of pointer-sized slots (P) and 64-bit
// fields; the x86 numbers are those FAR 3 x86 expects, the x64 ones follow from the same
// declarations with 8-byte pointers.

namespace far_layout {
constexpr size_t P = sizeof(void*);
} // namespace far_layout

static_assert(sizeof(PluginStartupInfo) == 33 * far_layout::P);
static_assert(offsetof(PluginStartupInfo, Editor) == 13 * far_layout::P);
static_assert(offsetof(PluginStartupInfo, FSF) == 16 * far_layout::P);
static_assert(offsetof(PluginStartupInfo, SendDlgMessage) == 24 * far_layout::P);
static_assert(sizeof(FarStandardFunctions) == 47 * far_layout::P);
static_assert(offsetof(FarStandardFunctions, TruncPathStr) == 27 * far_layout::P);
static_assert(offsetof(FarStandardFunctions, MkTemp) == 40 * far_layout::P);
static_assert(offsetof(FarStandardFunctions, ConvertPath) == 43 * far_layout::P);
static_assert(sizeof(VersionInfo) == 20);
static_assert(sizeof(FarKey) == 8);
static_assert(sizeof(EditorInfo) == 19 * far_layout::P);
static_assert(sizeof(EditorGetString) == 7 * far_layout::P);
static_assert(sizeof(EditorSetString) == 5 * far_layout::P);
static_assert(sizeof(EditorSetPosition) == 7 * far_layout::P);
static_assert(sizeof(EditorSelect) == 6 * far_layout::P);
static_assert(sizeof(FarGetPluginPanelItem) == 3 * far_layout::P);
static_assert(sizeof(FarDialogItemData) == 3 * far_layout::P);
static_assert(sizeof(KeyBarTitles) == 2 * far_layout::P);
static_assert(sizeof(FarSetKeyBarTitles) == 2 * far_layout::P);
static_assert(sizeof(ProgressValue) == 24);
static_assert(offsetof(ProgressValue, Completed) == 8);

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(PluginStartupInfo) == 132);
static_assert(offsetof(PluginStartupInfo, ModuleName) == 4);
static_assert(offsetof(PluginStartupInfo, Menu) == 8);
static_assert(offsetof(PluginStartupInfo, Message) == 12);
static_assert(offsetof(PluginStartupInfo, GetMsg) == 16);
static_assert(offsetof(PluginStartupInfo, PanelControl) == 20);
static_assert(offsetof(PluginStartupInfo, Editor) == 52);
static_assert(offsetof(PluginStartupInfo, EditorControl) == 60);
static_assert(offsetof(PluginStartupInfo, FSF) == 64);
static_assert(offsetof(PluginStartupInfo, AdvControl) == 72);
static_assert(offsetof(PluginStartupInfo, DialogFree) == 92);
static_assert(offsetof(PluginStartupInfo, SendDlgMessage) == 96);
static_assert(offsetof(PluginStartupInfo, SettingsControl) == 124);
static_assert(offsetof(PluginStartupInfo, Private) == 128);

static_assert(sizeof(FarStandardFunctions) == 188);
static_assert(offsetof(FarStandardFunctions, atoi) == 4);
static_assert(offsetof(FarStandardFunctions, snprintf) == 36);
static_assert(offsetof(FarStandardFunctions, LIsLower) == 40);
static_assert(offsetof(FarStandardFunctions, LStricmp) == 80);
static_assert(offsetof(FarStandardFunctions, TruncStr) == 104);
static_assert(offsetof(FarStandardFunctions, TruncPathStr) == 108);
static_assert(offsetof(FarStandardFunctions, XLat) == 144);
static_assert(offsetof(FarStandardFunctions, MkTemp) == 160);
static_assert(offsetof(FarStandardFunctions, ConvertPath) == 172);
static_assert(offsetof(FarStandardFunctions, FormatFileSize) == 184);

static_assert(offsetof(VersionInfo, Stage) == 16);

static_assert(sizeof(GlobalInfo) == 72);
static_assert(offsetof(GlobalInfo, MinFarVersion) == 4);
static_assert(offsetof(GlobalInfo, Version) == 24);
static_assert(offsetof(GlobalInfo, Guid) == 44);
static_assert(offsetof(GlobalInfo, Title) == 60);
static_assert(offsetof(GlobalInfo, Description) == 64);
static_assert(offsetof(GlobalInfo, Author) == 68);

static_assert(sizeof(PluginMenuItem) == 12);
static_assert(offsetof(PluginMenuItem, Strings) == 4);
static_assert(offsetof(PluginMenuItem, Count) == 8);

static_assert(sizeof(PluginInfo) == 56);
static_assert(offsetof(PluginInfo, Flags) == 8);
static_assert(offsetof(PluginInfo, DiskMenu) == 16);
static_assert(offsetof(PluginInfo, PluginMenu) == 28);
static_assert(offsetof(PluginInfo, PluginConfig) == 40);
static_assert(offsetof(PluginInfo, CommandPrefix) == 52);

static_assert(sizeof(OpenInfo) == 16);
static_assert(offsetof(OpenInfo, OpenFrom) == 4);
static_assert(offsetof(OpenInfo, Guid) == 8);
static_assert(offsetof(OpenInfo, Data) == 12);

static_assert(sizeof(ExitInfo) == 8);

static_assert(sizeof(ProcessEditorEventInfo) == 16);
static_assert(offsetof(ProcessEditorEventInfo, Event) == 4);
static_assert(offsetof(ProcessEditorEventInfo, Param) == 8);
static_assert(offsetof(ProcessEditorEventInfo, EditorID) == 12);

static_assert(sizeof(ProcessEditorInputInfo) == 24);
static_assert(offsetof(ProcessEditorInputInfo, Rec) == 4);

static_assert(sizeof(PanelInfo) == 80);
static_assert(offsetof(PanelInfo, PluginHandle) == 4);
static_assert(offsetof(PanelInfo, OwnerGuid) == 8);
static_assert(offsetof(PanelInfo, Flags) == 24);
static_assert(offsetof(PanelInfo, ItemsNumber) == 32);
static_assert(offsetof(PanelInfo, SelectedItemsNumber) == 36);
static_assert(offsetof(PanelInfo, PanelRect) == 40);
static_assert(offsetof(PanelInfo, CurrentItem) == 56);
static_assert(offsetof(PanelInfo, TopPanelItem) == 60);
static_assert(offsetof(PanelInfo, ViewMode) == 64);
static_assert(offsetof(PanelInfo, PanelType) == 68);
static_assert(offsetof(PanelInfo, SortMode) == 72);

static_assert(sizeof(FarPanelDirectory) == 32);
static_assert(offsetof(FarPanelDirectory, Name) == 4);
static_assert(offsetof(FarPanelDirectory, Param) == 8);
static_assert(offsetof(FarPanelDirectory, PluginId) == 12);
static_assert(offsetof(FarPanelDirectory, File) == 28);

static_assert(sizeof(PluginPanelItem) == 112);
static_assert(offsetof(PluginPanelItem, LastAccessTime) == 8);
static_assert(offsetof(PluginPanelItem, LastWriteTime) == 16);
static_assert(offsetof(PluginPanelItem, ChangeTime) == 24);
static_assert(offsetof(PluginPanelItem, FileSize) == 32);
static_assert(offsetof(PluginPanelItem, AllocationSize) == 40);
static_assert(offsetof(PluginPanelItem, FileName) == 48);
static_assert(offsetof(PluginPanelItem, AlternateFileName) == 52);
static_assert(offsetof(PluginPanelItem, Description) == 56);
static_assert(offsetof(PluginPanelItem, Owner) == 60);
static_assert(offsetof(PluginPanelItem, CustomColumnData) == 64);
static_assert(offsetof(PluginPanelItem, CustomColumnNumber) == 68);
static_assert(offsetof(PluginPanelItem, Flags) == 72);
static_assert(offsetof(PluginPanelItem, UserData) == 80);
static_assert(offsetof(PluginPanelItem, FileAttributes) == 88);
static_assert(offsetof(PluginPanelItem, NumberOfLinks) == 92);
static_assert(offsetof(PluginPanelItem, CRC32) == 96);
static_assert(offsetof(PluginPanelItem, Reserved) == 100);

static_assert(sizeof(FarGetPluginPanelItem) == 12);
static_assert(sizeof(EditorInfo) == 76);
static_assert(offsetof(EditorInfo, TopScreenLine) == 32);
static_assert(offsetof(EditorInfo, CodePage) == 72);
static_assert(sizeof(EditorGetString) == 28);
static_assert(offsetof(EditorGetString, SelStart) == 20);
static_assert(sizeof(EditorSetString) == 20);
static_assert(sizeof(EditorSetPosition) == 28);
static_assert(sizeof(EditorSelect) == 24);

static_assert(offsetof(FarKey, ControlKeyState) == 4);
static_assert(sizeof(KeyBarLabel) == 16);
static_assert(offsetof(KeyBarLabel, Text) == 8);
static_assert(offsetof(KeyBarLabel, LongText) == 12);
static_assert(sizeof(KeyBarTitles) == 8);
static_assert(sizeof(FarSetKeyBarTitles) == 8);

static_assert(sizeof(FarMenuItem) == 32);
static_assert(offsetof(FarMenuItem, Text) == 8);
static_assert(offsetof(FarMenuItem, AccelKey) == 12);
static_assert(offsetof(FarMenuItem, UserData) == 20);
static_assert(offsetof(FarMenuItem, Reserved) == 24);

static_assert(sizeof(FarDialogItem) == 64);
static_assert(offsetof(FarDialogItem, X1) == 4);
static_assert(offsetof(FarDialogItem, Y2) == 16);
static_assert(offsetof(FarDialogItem, Selected) == 20);
static_assert(offsetof(FarDialogItem, History) == 24);
static_assert(offsetof(FarDialogItem, Mask) == 28);
static_assert(offsetof(FarDialogItem, Flags) == 32);
static_assert(offsetof(FarDialogItem, Data) == 40);
static_assert(offsetof(FarDialogItem, MaxLength) == 44);
static_assert(offsetof(FarDialogItem, UserData) == 48);
static_assert(offsetof(FarDialogItem, Reserved) == 52);

static_assert(sizeof(FarDialogItemData) == 12);
static_assert(offsetof(FarDialogItemData, PtrData) == 8);
#endif

#if defined(_WIN64)
static_assert(sizeof(GlobalInfo) == 88);
static_assert(sizeof(PluginInfo) == 96);
static_assert(sizeof(PanelInfo) == 104);
static_assert(sizeof(FarPanelDirectory) == 48);
static_assert(sizeof(PluginPanelItem) == 160);
static_assert(offsetof(PluginPanelItem, Flags) == 96);
static_assert(sizeof(FarMenuItem) == 48);
static_assert(sizeof(FarDialogItem) == 112);
static_assert(offsetof(FarDialogItem, Flags) == 64);
static_assert(sizeof(KeyBarLabel) == 24);
static_assert(sizeof(ProcessEditorInputInfo) == 32);
#endif
