// One paint of the compressed harmonics graph at 1200 x 800: drawn from
// scratch, and after a pan by one pixel, where only the uncovered band of
// the plot is drawn and the rest is shifted inside the back buffer.
#include <cmath>

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/init.h>

#include "indicators/CompressedHarmonicsIndicator.h"
#include "pipeline/CompressionWeights.h"

namespace {

wxFrame* g_host = nullptr;

// Eight partials of a stretched string over `seconds`, at 44.1 kHz hops.
HarmonicHistory StringHistory(double fundamental, double seconds, const HarmonicWeights& weights) {
    HarmonicHistory history;
    const double hop = 256.0 / 44100.0;
    for (double t = 0.0; t < seconds; t += hop) {
        NoteAnalyzer::AnalysisResult result;
        result.hopDuration = hop;
        result.frequency = fundamental;
        result.level = -6.0 - 6.0 * t;
        for (int k = 1; k <= 8; ++k)
            result.harmonics[k] = {std::pow(10.0, (-2.0 * k - 4.0 * t) / 20.0),
                                   k * fundamental * std::sqrt(1.0 + 0.0004 * k * k)};
        history.AddFrame(result, weights);
    }
    return history;
}

struct Scene {
    Scene()
        : current(StringHistory(220.0, 6.0, HarmonicHistory::DefaultWeights())),
          reference(StringHistory(110.0, 6.0, CompressionWeights(DefaultNoteTable(), 57, 45))),
          target(1200, 800, 24) {
        graph = new CCompressedHarmonicsIndicator();
        graph->Create(g_host, wxID_ANY, wxPoint(0, 0), wxSize(1200, 800));
        graph->SetClientSize(1200, 800);
        wxSizeEvent size(graph->GetSize(), graph->GetId());
        size.SetEventObject(graph);
        graph->ProcessWindowEvent(size);
        graph->SetNoteTable(DefaultNoteTable());
        graph->SetHistories(&current, &reference);
        graph->SetSpans(5.0f, 60.0f);
        graph->SetStarts(0.5f, -1235.0f);
    }
    ~Scene() {
        graph->SetHistories(nullptr, nullptr);
        graph->Destroy();
    }
    void Paint() {
        wxMemoryDC dc(target);
        graph->PaintInto(dc);
    }

    HarmonicHistory current, reference;
    wxBitmap target;
    CCompressedHarmonicsIndicator* graph = nullptr;
};

void BM_HarmonicsGraphFullRedraw(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.graph->RedrawAll();
        scene.Paint();
    }
    state.counters["regions"] = static_cast<double>(scene.graph->LastPaint().plotRegions.size());
}
BENCHMARK(BM_HarmonicsGraphFullRedraw)->Unit(benchmark::kMillisecond);

void BM_HarmonicsGraphOnePixelScroll(benchmark::State& state) {
    Scene scene;
    scene.Paint();
    const float pixel = scene.graph->TimeSpan() / scene.graph->Layout().plot.width;
    const float start = scene.graph->TimeStart();
    bool right = true;
    for (auto _ : state) {
        scene.graph->SetStarts(right ? start + pixel : start, scene.graph->PitchStart());
        right = !right;
        scene.Paint();
    }
    const auto& paint = scene.graph->LastPaint();
    state.counters["whole"] = paint.wholePlot ? 1 : 0;
    state.counters["band_px"] = paint.plotRegions.empty() ? 0 : paint.plotRegions.front().width;
}
BENCHMARK(BM_HarmonicsGraphOnePixelScroll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    wxApp::SetInstance(new wxApp());
    int wxArgc = 1;
    if (!wxEntryStart(wxArgc, argv)) return 1;
    g_host = new wxFrame(nullptr, wxID_ANY, "bench", wxPoint(0, 0), wxSize(1300, 900));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_host->Destroy();
    wxEntryCleanup();
    return 0;
}
