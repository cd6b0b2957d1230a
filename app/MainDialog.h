#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "app/Toolkit.h"
#include "symbols/Document.h"

namespace runebin {

// The control ids and texts in which the two halves of the main window differ.
struct PaneControls {
  int caption;    // group box showing the path
  int openClose;  // "Open..." / "Close"
  int list;       // the symbol list box
  int up, dn, sort, remove, rename, scaleAll, xUnused, import, refPage;
  std::string_view emptyCaption;  // caption while the pane has no file
  std::string_view dialogTitle;   // title of the open-file dialog
  std::string_view copyLabel;     // Copy button label when copying from this pane
};

extern const PaneControls kPane1Controls;
extern const PaneControls kPane2Controls;

// One half of the main window and the document it holds.
//
// `path` is empty while the pane has no file; otherwise it is the chosen full path, followed by
// " [ro]" when the pane is read-only (so it never equals a path chosen for the other pane). It is
// the pane's caption; the document knows the real path.
struct FilePane {
  FilePane(const PaneControls& ids, std::string listingPath)
      : document(std::move(listingPath)), controls(ids) {}

  const DrawingFile& Drawing() const { return document.Drawing(); }
  DrawingFile& Drawing() { return document.Drawing(); }

  std::string path;
  Document document;
  const PaneControls& controls;
};

// The main window's behaviour. It owns both panes for its whole life and talks to the user only
// through the Toolkit. Every window event comes in through OnCommand / OnSelectionChange, which
// route it to one handler; an index that does not fit a symbol list (std::invalid_argument from
// the model) is reported with "An invalid argument was encountered." and the handler has changed
// nothing by then.
//
// The control states are not computed at construction: the toolkit creates the controls as the
// main window's layout table says.
class MainDialog final : public WindowEvents {
 public:
  // `entityListingPath` is where each load writes its entity listing (tests pass their own
  // folder; empty writes none).
  explicit MainDialog(Toolkit& toolkit,
                      const std::string& entityListingPath = DefaultEntityListingPath());
  ~MainDialog() override = default;
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Shows the main window and returns when Done has closed both panes.
  void Run();

  void OnCommand(int controlId) override;
  void OnSelectionChange(int listBoxId) override;

  const FilePane& Pane1() const { return pane1_; }
  const FilePane& Pane2() const { return pane2_; }
  // The Max Size the next import offers; replaced by every WMF Import dialog confirmed with OK.
  float LastMaxSize() const { return lastMaxSize_; }

 private:
  void Dispatch(int controlId);
  FilePane& Other(const FilePane& pane) { return &pane == &pane1_ ? pane2_ : pane1_; }

  // Opening, closing and Done.
  void OnOpenClose(FilePane& pane);
  // False when the user kept the pane open after its changes could not be written.
  bool ClosePane(FilePane& pane);
  void OpenPane(FilePane& pane);
  void OnDone();

  // Details and command enabling. `selected` and `count` are -1 for none.
  void UpdateCommandStates(FilePane& pane, int selected, int count);
  void OnSymbolSelected(FilePane& pane);
  void RefreshSymbolLists();
  // The preview frame: `definition` drawn, or empty for null.
  void ShowPreview(const Entity* definition);

  // Symbol commands of one pane.
  void OnUp(FilePane& pane);
  void OnDn(FilePane& pane);
  void OnSort(FilePane& pane);
  void OnRename(FilePane& pane);
  void OnCopy();
  void OnDelete(FilePane& pane);
  void OnXUnused(FilePane& pane);
  void OnImport();

  void Report(const std::string& text);
  bool Ask(const std::string& text);

  Toolkit& toolkit_;
  FilePane pane1_;
  FilePane pane2_;
  float lastMaxSize_ = 100.0F;
};

// The whole run of the window program: the about box first (however it is dismissed), then the
// main window until Done. Returns the process's exit code, 0.
int RunApplication(Toolkit& toolkit);

}  // namespace runebin
