#pragma once

#include <gtest/gtest.h>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/FakeToolkit.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

using Names = std::vector<std::string>;

// The main window driven through the in-memory toolkit, with files in a fresh folder; every
// scripted answer must be used.
class AppTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(ui.ScriptUsedUp()) << "scripted answers left over"; }

  std::string WriteDrawing(const std::string& name, const std::vector<Bytes>& records) {
    return dir.Write(name, Drawing(records));
  }
  void Press(int id) { ui.Press(dialog, id); }
  void Select(int listBoxId, int index) { ui.Select(dialog, listBoxId, index); }
  // Presses the pane's "Open..." and chooses `path` in the file dialog.
  void Open1(const std::string& path, bool readOnly = false) {
    ui.ChooseFile(path, readOnly);
    Press(ids::kOpenClose1);
  }
  void Open2(const std::string& path, bool readOnly = false) {
    ui.ChooseFile(path, readOnly);
    Press(ids::kOpenClose2);
  }

  bool Enabled(int id) const { return ui.IsControlEnabled(id); }
  std::string Text(int id) const { return ui.GetControlText(id); }
  Names Lines(int listBoxId) const { return ui.ListLines(listBoxId); }
  int Selection(int listBoxId) const { return ui.ListGetSelection(listBoxId); }
  const Names& Messages() const { return ui.messages; }
  const DrawingFile& File1() const { return dialog.Pane1().Drawing(); }
  const DrawingFile& File2() const { return dialog.Pane2().Drawing(); }

  TempDir dir;
  FakeToolkit ui;
  MainDialog dialog{ui, dir.Path("entities.txt")};
};

}  // namespace runebin::testing
