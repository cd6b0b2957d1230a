// Filling a symbol list box of the real Qt window: every command ends by refilling both lists,
// so a catalog of tens of thousands of symbols must refill in a blink. Runs on Qt's offscreen
// platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <vector>

#include "gui/MainWindow.h"
#include "gui/QtToolkit.h"
#include "resources/ControlIds.h"

namespace {

std::vector<std::string> SymbolNames(std::size_t count) {
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    names.push_back("Symbol " + std::to_string((i * 7919) % count) + " of the catalog");
  }
  return names;
}

// Refill the list, restore a selection and let the window lay out and paint the result, as a
// command's refresh does.
void BM_RefillSymbolList(benchmark::State& state) {
  runebin::gui::QtToolkit toolkit;
  toolkit.Window().show();
  const std::vector<std::string> names = SymbolNames(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    toolkit.ListSetLines(runebin::ids::kList1, names);
    toolkit.ListSetSelection(runebin::ids::kList1, static_cast<int>(names.size() / 2));
    toolkit.Window().repaint();
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RefillSymbolList)->Arg(1000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
