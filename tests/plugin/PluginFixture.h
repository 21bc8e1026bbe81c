// The plugin as FAR sees it: the built library loaded through its exports, FAR's model
// as its host, a real temporary directory as the panel, and the plugin's own temporary
// files kept in a directory of the test's so that leftovers show.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PluginLoader.h"
#include "support/FakeFar.h"
#include "support/TestFiles.h"

class PluginFixture : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  const TPluginExports& Plugin() const { return fPlugin->Exports(); }
  void UnloadPlugin() { fPlugin->Unload(); }

  // A file of the panel directory with the given content (UTF-8 name).
  void MakeFile(const std::string& AName, const std::string& AContent = "x");
  void MakeDirectory(const std::string& AName);
  bool Exists(const std::string& AName) const;
  std::string Content(const std::string& AName) const;
  // The exact names in the panel directory, sorted.
  std::vector<std::string> Names() const;

  // Shows the panel directory in the active panel with the named items selected.
  void ShowPanel(std::initializer_list<std::u16string> ASelected);
  // The plugin picked from the plugin menu; answers the editor it opened (null if none).
  TFakeFar::TEditor* OpenFromPanel();
  // Sets the destination of the entry line ALine (editor numbering) and saves the file.
  void SetDestination(TFakeFar::TEditor& AEditor, size_t ALine, const std::u16string& ADest);
  // FAR closing an editor: the close event, then the window goes.
  intptr_t CloseEditor(intptr_t AEditorId);
  intptr_t PressKey(uint16_t AKey, uint32_t AControlState, bool ADown = true);

  // Files left in the plugin's temporary directory.
  std::vector<std::string> TempLeftovers() const;

  // The message boxes shown, each as its texts; a long job's progress box, which has no
  // buttons and asks or tells nothing of the outcome, left out.
  std::vector<std::vector<std::u16string>> Boxes() const;

  testing_support::TTempDir fDir;     // the panel's directory
  testing_support::TTempDir fTempDir; // the plugin's temporary directory
  std::unique_ptr<TFakeFar> fFar;
  std::unique_ptr<TLoadedPlugin> fPlugin;
  std::u16string fOldTemp;
  std::u16string fPanelDirectory; // as the panel shows it: no trailing delimiter
};

// Text helpers.
std::u16string U(const std::string& AUtf8);
std::u16string Entry(const std::u16string& ASource, const std::u16string& ADest);
