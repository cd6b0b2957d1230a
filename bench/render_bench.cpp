// The window's preview of a selected symbol: building its display list from the symbol's bytes
// and painting it into the preview frame must stay well under the 20 ms that selecting a line
// may take, also for symbols of 100,000 vertices and more (beyond the preview's cap the work
// stops growing). Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

#include "gui/PicturePainter.h"
#include "metafile/OutputRecords.h"
#include "model/ByteOrder.h"
#include "render/DisplayList.h"

namespace {

using namespace runebin;

constexpr int kVerticesPerPath = 50;

// A symbol as an import writes it: polygons of 50 vertices on a circle each, every one filled
// and then outlined, `vertices` vertices in all.
std::vector<std::uint8_t> SymbolOf(std::size_t vertices) {
  OutputSink sink;
  AppendDefinition(sink, {0, 0, 1000, 1000}, "bench");
  AppendMarker(sink, kGroupOpen);
  for (std::size_t done = 0, n = 0; done < vertices; done += kVerticesPerPath, ++n) {
    const double cx = static_cast<double>(n % 100) * 10;
    const double cy = static_cast<double>(n / 100 % 100) * 10;
    std::uint8_t* out =
        AppendPath(sink, static_cast<std::uint8_t>(n), n % 2 == 0 ? kFilled : kOutline,
                   kFirstSequenceNumber, kVerticesPerPath, kPathClosed);
    for (int i = 0; i < kVerticesPerPath; ++i) {
      const double angle = 6.2831853 * i / kVerticesPerPath;
      PutF32(out + 8 * i, static_cast<float>(cx + 6 * std::cos(angle)));
      PutF32(out + 8 * i + 4, static_cast<float>(cy + 6 * std::sin(angle)));
    }
  }
  AppendMarker(sink, kGroupClose);
  return {sink.Bytes().begin(), sink.Bytes().end()};
}

void BM_BuildPreview(benchmark::State& state) {
  const auto symbol = SymbolOf(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(BuildDisplayList(symbol));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Build and paint into an image the size of the preview frame (81 x 77 dialog units at 96 dpi).
void BM_BuildAndPaintPreview(benchmark::State& state) {
  const auto symbol = SymbolOf(static_cast<std::size_t>(state.range(0)));
  QImage image(122, 125, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    const DisplayList list = BuildDisplayList(symbol);
    QPainter painter(&image);
    gui::PaintDisplayList(painter, list, QRectF(image.rect()), 4);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_BuildPreview)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndPaintPreview)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
