// The harmonics window's selections reach the pipeline as settings: the
// window is answered when, and only when, they move its reference note.
#include <gtest/gtest.h>

#include <vector>

#include "pipeline/TuningPipeline.h"

namespace {

class RecordingView : public IHarmonicsView {
public:
    void Notify(const HarmonicsState& state, int, bool) override { notified.push_back(state); }
    void SetState(const HarmonicsState& state) override { answers.push_back(state); }
    void FramesAdded() override {}

    std::vector<HarmonicsState> notified, answers;
};

}  // namespace

TEST(HarmonicsSettings, TheWindowIsAnsweredOnlyWhenItsReferenceNoteMoves) {
    ConfigRecord config;  // reference: the previous note, of which there is none yet
    TuningPipeline pipeline(config, nullptr);
    pipeline.SeedNoteTrack();
    RecordingView view;
    pipeline.SetHarmonicsView(&view);
    pipeline.NotifyHarmonics(false);
    ASSERT_EQ(view.notified.size(), 1u);
    EXPECT_EQ(view.notified[0].referenceNote, NoteIndexInvalid);

    // The window narrows its cents span: the reference note stays.
    HarmonicsState chosen = view.notified[0];
    chosen.pitchSpan = 50.0f;
    TakeHarmonicsSelections(config, chosen);
    pipeline.ApplyConfig(config);
    pipeline.HarmonicsSettingsApplied();
    EXPECT_TRUE(view.answers.empty());

    // It picks A4 by hand: the reference history is rebuilt and sent back once.
    chosen.referenceOption = 57;
    TakeHarmonicsSelections(config, chosen);
    pipeline.ApplyConfig(config);
    pipeline.HarmonicsSettingsApplied();
    pipeline.HarmonicsSettingsApplied();
    ASSERT_EQ(view.answers.size(), 1u);
    EXPECT_EQ(view.answers[0].referenceNote, 69);
    EXPECT_NE(view.answers[0].referenceHistory, nullptr);
    EXPECT_EQ(view.answers[0].pitchSpan, 50.0f);
}
