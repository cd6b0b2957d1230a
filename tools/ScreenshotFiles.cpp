#include "tools/ScreenshotFiles.h"

#include <memory>

#include "metafile/ImportMetafile.h"
#include "tests/support/TempDir.h"

namespace runebin::testing {

Bytes Catalog(const std::vector<std::string>& names, std::size_t used) {
  std::vector<Bytes> records{TypeZero(1)};
  for (const std::string& name : names) {
    records.push_back(Definition(name, {Record(2, Bytes(8, 1))}, {0, 0, 12.5F, 8.0F}));
  }
  for (std::size_t i = 0; i < used; ++i) {
    records.push_back(Reference(names[i]));
  }
  return Drawing(records);
}

Bytes Imported(const std::vector<std::string>& names, const std::vector<std::string>& metafiles,
               std::size_t used, const std::string& corpus) {
  std::vector<Bytes> records{TypeZero(1)};
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::unique_ptr<SymbolDef> symbol;
    ImportMetafile(corpus + "/" + metafiles[i], names[i], 12.5F, symbol);
    records.push_back(symbol ? Bytes(symbol->Bytes().begin(), symbol->Bytes().end())
                             : Definition(names[i]));
  }
  for (std::size_t i = 0; i < used; ++i) {
    records.push_back(Reference(names[i]));
  }
  return Drawing(records);
}

ScreenshotFiles WriteScreenshotFiles(const TempDir& folder, const std::string& corpus) {
  return {
      folder.Write(
          "Landscape.pvx",
          Imported({"Tree", "Oak", "Birch", "Garden Bench", "Fountain", "Street Lamp (double arm)"},
                   {"pillow-drawing.wmf", "wmfjs-ellipse.wmf", "wmfjs-rect.wmf", "poi-santa.wmf",
                    "wmfjs-poly-polygon.wmf", "imagemagick-clock.wmf"},
                   4, corpus)),
      folder.Write("Site Furniture Catalog.pvs",
                   Catalog({"Bollard", "Bin", "Bench", "Planter"}, 0))};
}

}  // namespace runebin::testing
