#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace runebin {

struct DisplayList;

// Message boxes: a report with one OK button, or a question with Yes and No (Yes goes ahead).
// Every box carries the caption "Runebin" and a warning icon.
enum class MessageKind { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// The open-file dialog. `filter` uses the "Description (*.ext)|*.ext||" form: pairs of a
// description and a pattern list, separated by '|', ended by an empty pair.
struct OpenFileRequest {
  std::string title;
  std::string filter;
  std::string defaultExtension;  // e.g. ".wmf"; added when the typed name has none
};

struct OpenFileChoice {
  std::string path;       // full path of the chosen file
  bool readOnly = false;  // the dialog's read-only check box
};

// Data exchanged with the Rename dialog.
struct RenameDialogData {
  std::string m_newName;
  std::string m_oldName;
};

// Data exchanged with the WMF Import dialog.
struct WmfImportDialogData {
  std::string m_name;
  float m_maxSize = 100.0F;
};

// Events of the main window, delivered by the toolkit while its modal loop runs.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A push button was pressed (or the About item of the window menu chosen), by control id.
  virtual void OnCommand(int controlId) = 0;
  // The user changed the selection of a list box (by mouse or keyboard alike).
  virtual void OnSelectionChange(int listBoxId) = 0;
};

// What the window program needs of a dialog toolkit: the main window's controls addressed by
// their numeric ids, modal message boxes, the open-file dialog and three small modal dialogs.
// The program's behaviour talks only to this interface; a Qt implementation shows real widgets
// and an in-memory one lets tests script the user.
class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Controls of the main window, by id.
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual bool IsControlEnabled(int id) const = 0;
  virtual void ShowControl(int id, bool shown) = 0;
  virtual bool IsControlShown(int id) const = 0;
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual std::string GetControlText(int id) const = 0;

  // List boxes, by id. Selection -1 means no line is selected. Setting the selection from the
  // program is not a user's selection change and triggers no event.
  virtual void ListReset(int id) = 0;
  // Replaces the lines of the list box at once (no selection afterwards).
  virtual void ListSetLines(int id, const std::vector<std::string>& lines) = 0;
  virtual int ListCount(int id) const = 0;
  virtual int ListGetSelection(int id) const = 0;
  virtual void ListSetSelection(int id, int index) = 0;

  // The preview frame, by id: shows `picture` fitted into it, upright, on white; null leaves it
  // empty. `description` tells assistive tools what it shows.
  virtual void SetPicture(int id, std::shared_ptr<const DisplayList> picture,
                          const std::string& description) = 0;

  // Modal boxes and dialogs.
  virtual Answer ShowMessage(const std::string& text, MessageKind kind) = 0;
  virtual std::optional<OpenFileChoice> ChooseFileToOpen(const OpenFileRequest& request) = 0;
  // Run the dialog modally over `data`; true when it ended with OK (validation passed).
  virtual bool RunRenameDialog(RenameDialogData& data) = 0;
  virtual bool RunWmfImportDialog(WmfImportDialogData& data) = 0;
  virtual void RunAboutBox() = 0;

  // Shows the main window and runs its modal loop, delivering its events to `events`, until
  // EndMainWindow is called. Requests to close the window any other way (Escape, the close box)
  // are ignored.
  virtual void RunMainWindow(WindowEvents& events) = 0;
  virtual void EndMainWindow() = 0;
};

}  // namespace runebin
