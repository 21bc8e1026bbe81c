// The record that FAR's model keeps of the calls a plugin makes, and the refusals that
// make a service answer as a host that cannot serve it. The tests switch both on to see
// what the plugin asked and to walk it through failures; the terminal host and the
// benchmark leave them off, so that a call costs nothing more than its service.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "far/Plugin3.h"

enum class TFarService {
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
  SaveScreen,
  RestoreScreen,
};

// One call of a service, as the plugin made it.
struct TFarCall {
  TFarService Service = TFarService::Menu;
  intptr_t Command = 0;       // command or message number; GetMsg: the message id
  uintptr_t Handle = 0;       // panel, dialog or saved screen handle; EditorControl: the editor id
  intptr_t Param1 = 0;        // Param1; Editor: StartLine; Menu: X
  uintptr_t Param2 = 0;       // Param2 as a number (0: none)
  uint64_t Flags = 0;         // Message, Menu, Editor flags
  std::vector<intptr_t> Args; // Editor: X1 Y1 X2 Y2 StartLine StartChar CodePage;
                              // Menu: X Y MaxHeight; Message: ButtonsNumber;
                              // ConvertPath/MkTemp: DestSize; TruncPathStr: MaxLength
  GUID PluginId{};
  GUID Id{};
  // Texts sent: Message items; Menu title, bottom, help topic, then the items; GetMsg:
  // the text answered; Editor file name and title; SETSTRING text; key bar texts (Text,
  // LongText per label); DM_SETTEXT text; ConvertPath source; TruncPathStr input. A null
  // text is recorded as an empty one.
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

class TFarCallLog {
public:
  static constexpr intptr_t AnyCommand = INTPTR_MIN;

  std::vector<TFarCall> Calls;
  std::vector<TFarCall> CallsOf(TFarService AService, intptr_t ACommand = AnyCommand) const;
  size_t CountOf(TFarService AService, intptr_t ACommand = AnyCommand) const;
  void ClearCalls() { Calls.clear(); }

  // The service (or one command of it) answers as a refusing host: 0, -1 for Message
  // and Menu, null for GetMsg, the input unchanged for TruncPathStr.
  void Refuse(TFarService AService, intptr_t ACommand = AnyCommand);
  void Accept(TFarService AService, intptr_t ACommand = AnyCommand);
  bool IsRefused(TFarService AService, intptr_t ACommand) const;

private:
  std::set<std::pair<TFarService, intptr_t>> fRefused;
};
