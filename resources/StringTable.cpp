#include "resources/StringTable.h"

namespace runebin {

std::string_view LoadResourceString(int id) {
  switch (id) {
    case kIdsAboutBox:
      return "&About Runebin...";
    default:
      return {};
  }
}

}  // namespace runebin
