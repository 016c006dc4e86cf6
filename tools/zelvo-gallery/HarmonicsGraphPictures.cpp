#include "HarmonicsGraphPictures.h"

#include <cmath>

#include "indicators/CompressedHarmonicsIndicator.h"
#include "pipeline/CompressionWeights.h"

namespace {

// A struck string: partial k at k f sqrt(1 + B k^2), each fading at its own
// rate, so the high partials thin out and vanish over the seconds shown.
// `offPartial` lies `offCents` away from where the stretch puts it.
HarmonicHistory StringHistory(double fundamental, double inharmonicity, double seconds, int offPartial,
                              double offCents, const HarmonicWeights& weights) {
    HarmonicHistory history;
    const double hop = 256.0 / 44100.0;
    for (double t = 0.0; t < seconds; t += hop) {
        NoteAnalyzer::AnalysisResult result;
        result.hopDuration = hop;
        // A slow drift of a few cents, as a real string settles.
        const double drift = -3.0 * (1.0 - std::exp(-t));
        result.frequency = fundamental * std::exp2(drift / 1200.0);
        result.level = -6.0 - 8.0 * t;
        for (int k = 1; k <= 8; ++k) {
            double f = k * result.frequency * std::sqrt(1.0 + inharmonicity * k * k);
            if (k == offPartial) f *= std::exp2(offCents / 1200.0);
            const double amplitude = std::pow(10.0, (-3.0 * k - t * (4.0 + 3.0 * k)) / 20.0);
            result.harmonics[k] = {amplitude, f};
        }
        history.AddFrame(result, weights);
    }
    return history;
}

}  // namespace

void HarmonicsGraphPictures(wxWindow* host, const SavePicture& save) {
    const NoteTable table = DefaultNoteTable();
    // A3 (note 57) with its fifth partial 15 cents sharp, against A2 (45).
    const HarmonicHistory current =
        StringHistory(220.0, 0.0004, 5.0, 5, 15.0, HarmonicHistory::DefaultWeights());
    const HarmonicHistory reference =
        StringHistory(110.0, 0.0002, 4.0, 0, 0.0, CompressionWeights(table, 57, 45));

    struct View {
        const char* name;
        float timeStart, timeSpan, pitchStart, pitchSpan;
    };
    const View views[] = {
        {"default", 0.0f, 5.0f, -1235.0f, 60.0f},
        {"zoomed-in", 0.5f, 1.0f, -1212.0f, 12.0f},
        {"zoomed-out", 0.0f, 30.0f, -1600.0f, 800.0f},
        {"wide", 0.0f, 60.0f, -5750.0f, 9700.0f},
        // The axis alone around C#4, whose name is the widest.
        {"c-sharp-axis", 0.0f, 5.0f, -818.0f, 27.0f},
    };
    const wxSize sizes[] = {{600, 400}, {1200, 800}, {200, 120}};
    const char* sizeNames[] = {"medium", "large", "tiny"};
    for (int s = 0; s < 3; ++s) {
        auto* graph = new CCompressedHarmonicsIndicator();
        graph->Create(host, wxID_ANY, wxPoint(0, 0), sizes[s]);
        graph->SetClientSize(sizes[s]);
        graph->SetNoteTable(table);
        graph->SetFontFamily("Tuner");
        graph->SetHistories(&current, &reference);
        const wxSize size = graph->GetClientSize();
        for (const View& v : views) {
            graph->SetSpans(v.timeSpan, v.pitchSpan);
            graph->SetStarts(v.timeStart, v.pitchStart);
            graph->SetSelection(-1, -1);
            save(wxString::Format("harmonics-%s-%s", sizeNames[s], v.name), size,
                 [graph](wxDC& dc) { graph->PaintInto(dc); });
        }
        // The sharp fifth partial selected and a reference partial under the
        // mouse, in the default view.
        graph->SetSpans(5.0f, 60.0f);
        graph->SetStarts(0.0f, -1235.0f);
        graph->SetSelection(5, -1);
        const Indicators::ViewMapping map{{0.0f, 5.0f, -1235.0f, 60.0f}, graph->Layout().plot};
        // Reference partial 3 lies near the stretch of A2's third partial.
        const double pitch3 =
            HarmonicPitch(110.0 * 3 * std::sqrt(1.0 + 0.0002 * 9) * 2.0 / 3.0) - 3.0 * (1 - std::exp(-1.0));
        wxMouseEvent move(wxEVT_MOTION);
        move.SetPosition(wxPoint(static_cast<int>(map.X(1.0)), static_cast<int>(map.Y(pitch3))));
        move.SetEventObject(graph);
        graph->ProcessWindowEvent(move);
        save(wxString::Format("harmonics-%s-selected-hovered", sizeNames[s]), size,
             [graph](wxDC& dc) { graph->PaintInto(dc); });
        // Focus frame.
        graph->Destroy();
    }
}
