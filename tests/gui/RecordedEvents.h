#pragma once

#include <string>
#include <vector>

#include "platform/Toolkit.h"

namespace runebin::testing {

// Window events as the main window delivered them: "command 1000", "selection 1004".
class RecordedEvents : public WindowEvents {
 public:
  void OnCommand(int controlId) override { log.push_back("command " + std::to_string(controlId)); }
  void OnSelectionChange(int listBoxId) override {
    log.push_back("selection " + std::to_string(listBoxId));
  }

  std::vector<std::string> log;
};

}  // namespace runebin::testing
