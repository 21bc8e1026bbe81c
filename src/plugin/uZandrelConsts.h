// The fixed identities of the plugin: FAR keys its settings, menus and messages by them,
// so they never change between versions.
#pragma once

#include "far/Plugin3.h"

// The plugin itself (GlobalInfo, and the PluginId of every host call).
inline constexpr GUID PluginGUID = {
    0x7a203566, 0xcf9a, 0x4fd2, {0x89, 0x6b, 0x34, 0xc4, 0x09, 0x96, 0x1c, 0xd6}};

// The plugin's item in FAR's plugin menu.
inline constexpr GUID PluginMenuGUID = {
    0xca6d3ebd, 0xd6f2, 0x4012, {0xbc, 0x9b, 0x6f, 0x5f, 0x65, 0x0d, 0xed, 0xd5}};

// The small menu offered in the editor's plugin menu (jump / select).
inline constexpr GUID EditorMenuGUID = {
    0x22a39016, 0xa2b2, 0x4548, {0x8b, 0x9a, 0xcd, 0x95, 0xff, 0x9a, 0x2b, 0x60}};
