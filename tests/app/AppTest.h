#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MainDialog.h"
#include "resources/ControlIds.h"
#include "tests/support/DrawingBuilder.h"
#include "tests/support/FakeToolkit.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

// The main window driven through the in-memory toolkit, with files in a fresh folder. The
// helpers send the events the real window sends; the script of answers must be used up.
class AppTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_TRUE(ui.ScriptUsedUp()) << "scripted answers left over"; }

  std::string WriteDrawing(const std::string& name, const std::vector<Bytes>& records) {
    return dir.Write(name, Drawing(records));
  }
  void Press(int id) { ui.Press(dialog, id); }
  void Select(int listBoxId, int index) { ui.Select(dialog, listBoxId, index); }
  // Presses a pane's "Open..." and chooses `path` in the file dialog.
  void Open(int openCloseId, const std::string& path, bool readOnly = false) {
    ui.ChooseFile(path, readOnly);
    Press(openCloseId);
  }
  void Open1(const std::string& path, bool readOnly = false) {
    Open(ids::kOpenClose1, path, readOnly);
  }
  void Open2(const std::string& path, bool readOnly = false) {
    Open(ids::kOpenClose2, path, readOnly);
  }

  bool Enabled(int id) const { return ui.IsControlEnabled(id); }
  std::string Text(int id) const { return ui.GetControlText(id); }
  std::vector<std::string> Lines(int listBoxId) const { return ui.ListLines(listBoxId); }
  int Selection(int listBoxId) const { return ui.ListGetSelection(listBoxId); }
  std::vector<std::string> Messages() const { return ui.MessageTexts(); }

  TempDir dir;
  FakeToolkit ui;
  MainDialog dialog{ui, dir.Path("entities.txt")};
};

using Names = std::vector<std::string>;

}  // namespace runebin::testing
