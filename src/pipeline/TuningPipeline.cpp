#include "pipeline/TuningPipeline.h"

#include <chrono>
#include <deque>
#include <new>
#include <utility>

#include "analysis/Analyzer.h"
#include "analysis/AnalyzerSettings.h"
#include "capture/WaveFormat.h"
#include "tuning/NoteNames.h"
#include "units/Units.h"

std::uint32_t SteadyTickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms.count()));
}

TuningPipeline::TuningPipeline(const ConfigRecord& config, std::shared_ptr<Recorder::ICaptureDevice> device,
                               TickSource ticks)
    : config_(config),
      device_(std::move(device)),
      ticks_(ticks ? std::move(ticks) : TickSource(SteadyTickCount)),
      noteTable_(DefaultNoteTable()) {}

TuningPipeline::~TuningPipeline() {
    StopRecording();
}

void TuningPipeline::ApplyConfig(const ConfigRecord& config) {
    if (config.NoiseFloor != config_.NoiseFloor) {
        std::lock_guard<std::mutex> guard(lock_);
        if (analyzer_) {
            analyzer_->noiseFloor = config.NoiseFloor;
        }
    }
    config_ = config;
}

void TuningPipeline::SetCaptureDevice(std::shared_ptr<Recorder::ICaptureDevice> device) {
    device_ = std::move(device);
}

StartOutcome TuningPipeline::StartRecording(bool quiet) {
    StopRecording();

    StartOutcome outcome;
    const Recorder::WaveFormatDesc format = Recorder::Describe(static_cast<std::uint32_t>(config_.Format));
    if (format.sampleRate == 0) {
        outcome.status = StartStatus::InvalidFormat;
        if (!quiet) {
            outcome.message = InvalidFormatMessage;
        }
        return outcome;
    }

    if (!device_) {
        // No capture layer was given: the same outcome as a device that
        // cannot be opened, without starting a thread that is bound to fail.
        outcome.status = StartStatus::DeviceFailed;
        if (!quiet) {
            outcome.message = StartFailedMessage;
        }
        return outcome;
    }

    // The analyzer is built while no recorder thread exists, so no lock is
    // needed to create it; the lock only orders it against later hops.
    NoteAnalyzer::AnalyzerSettings analyzerSettings =
        NoteAnalyzer::SettingsFor(format.sampleRate, config_.AnalysisQuality);
    analyzerSettings.precisePitch = config_.PrecisePitch;
    auto analyzer = std::make_unique<NoteAnalyzer::Analyzer>(analyzerSettings);
    analyzer->noiseFloor = config_.NoiseFloor;
    {
        std::lock_guard<std::mutex> guard(lock_);
        analyzer_ = std::move(analyzer);
    }

    overrun_.Begin(DroppedResults(), analyzerSettings.advanceSize);

    const NoteAnalyzer::CaptureGeometry geometry = NoteAnalyzer::CaptureGeometryFor(format.sampleRate);
    Recorder::RecorderConfig recorderConfig;
    recorderConfig.deviceId = static_cast<unsigned int>(config_.Device);
    recorderConfig.channels = format.channels;
    recorderConfig.bitsPerSample = format.bitsPerSample;
    recorderConfig.sampleRate = format.sampleRate;
    recorderConfig.bufferCount = geometry.bufferCount;
    recorderConfig.bufferSamples = geometry.bufferSamples;  // one buffer = one hop
    recorderConfig.listener = this;
    recorderConfig.device = device_;

    try {
        // Start stores the new context in recorder_ before it waits, so a
        // failed start still leaves it there for StopRecording to release.
        Recorder::Start(recorder_, recorderConfig, !quiet);
    } catch (const Recorder::RecorderException&) {
        StopRecording();
        outcome.status = StartStatus::DeviceFailed;
        if (!quiet) {
            outcome.message = StartFailedMessage;
        }
    }
    return outcome;
}

void TuningPipeline::StopRecording() {
    overrun_.End();
    if (recorder_) {
        Recorder::Stop(recorder_);
        recorder_.reset();
    }
    // Taken under the lock even though the recorder thread has ended: a
    // thread that outlived its stop time-out is detached, not killed, and
    // must then find no analyzer rather than a deleted one.
    std::deque<NoteAnalyzer::AnalysisResult> discarded;
    std::unique_ptr<NoteAnalyzer::Analyzer> analyzer;
    {
        std::lock_guard<std::mutex> guard(lock_);
        std::lock_guard<std::mutex> queueGuard(queueLock_);
        discarded = resultQueue_.TakeAll();
        analyzer = std::move(analyzer_);
    }
}

void TuningPipeline::OnWatchdogTick() {
    if (recorder_ && Recorder::Status(recorder_) != Recorder::StatusCapturing) {
        StopRecording();
    }
    if (!IsRecordingSetUp()) {
        StartRecording(true);
    }
}

bool TuningPipeline::IsRecordingSetUp() const {
    std::lock_guard<std::mutex> guard(lock_);
    return recorder_ != nullptr && analyzer_ != nullptr;
}

int TuningPipeline::RecorderStatus() const {
    return Recorder::Status(recorder_);
}

void TuningPipeline::OnBuffer(const double* samples, int count) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!analyzer_ || samples == nullptr || count != analyzer_->Settings().advanceSize) {
        return;  // one buffer must be exactly one hop
    }
    try {
        NoteAnalyzer::AnalysisResult result = analyzer_->Process(samples);
        std::lock_guard<std::mutex> queueGuard(queueLock_);
        resultQueue_.Push(std::move(result));
    } catch (const std::bad_alloc&) {
        // Out of memory on the recorder thread: drop this hop rather than
        // end the program; the next hop tries again.
    }
}

std::size_t TuningPipeline::QueuedResults() const {
    std::lock_guard<std::mutex> guard(queueLock_);
    return resultQueue_.Size();
}

std::uint64_t TuningPipeline::DroppedResults() const {
    std::lock_guard<std::mutex> guard(queueLock_);
    return resultQueue_.Dropped();
}

std::string TuningPipeline::TakeOverrunMessage() {
    if (!recorder_) return {};
    return overrun_.Take(Recorder::DroppedFrames(recorder_), DroppedResults());
}

ReadingUpdate TuningPipeline::UpdateReading() {
    ReadingUpdate update;
    const double calibration = Units::CalibrationFactor(config_.KnownFreq, config_.ExpectedFreq);

    // Everything queued when the tick begins is taken; results that arrive
    // meanwhile wait for the next tick, so a producer faster than this loop
    // (a test device flooding buffers) cannot keep the user-interface thread
    // here for ever. The lock is held only while one result is taken out, so
    // the recorder thread can analyse the next hop while this one is tracked.
    std::uint64_t end = 0;
    {
        std::lock_guard<std::mutex> guard(queueLock_);
        end = resultQueue_.EndMark();
    }
    for (;;) {
        NoteAnalyzer::AnalysisResult result;
        {
            std::lock_guard<std::mutex> guard(queueLock_);
            if (!resultQueue_.TakeBefore(end, result)) {
                break;
            }
        }
        ++update.results;

        const NoteStep step =
            tracker_.Process(std::move(result), noteTable_, calibration, config_.AlwaysStore, ticks_());
        if (step.noteStarted) {
            if (harmonicsView_ != nullptr) {
                NotifyHarmonics(false);
                update.changed = true;
            }
            update.noteStarted = true;
            update.noteText = NoteControlText(FormatNoteName(step.note, 0), step.cents);
        }
        if (step.appended) {
            update.changed = true;
        }
    }

    if (update.changed && harmonicsView_ != nullptr) {
        harmonicsView_->FramesAdded();
    }
    update.levelText = LevelControlText(config_.NoiseFloor);
    return update;
}

DisplayValues TuningPipeline::UpdateIndicators() const {
    return tracker_.Display(noteTable_, config_.Pitch, config_.CentAccuracy, ticks_());
}

void TuningPipeline::SetNoteTable(NoteTable table) {
    noteTable_ = std::move(table);
}

void TuningPipeline::SeedNoteTrack() {
    tracker_.Seed(config_.MiddleA);
}

NoteIndex TuningPipeline::ReferenceNote() const {
    const NoteTrack& track = tracker_.Track();
    return ReferenceNoteFor(config_.ReferenceOption, track.note, track.previousNote);
}

HarmonicsState TuningPipeline::CurrentHarmonicsState() const {
    HarmonicsState state;
    state.currentNote = tracker_.Track().note;
    state.alwaysStore = config_.AlwaysStore;
    state.currentHarmonic = config_.CurrentHarmonicSelected;
    state.referenceNote = ReferenceNote();
    state.referenceOption = config_.ReferenceOption;
    state.referenceHarmonic = config_.ReferenceHarmonicSelected;
    state.pitchSpan = config_.CentRange;
    state.timeSpan = config_.TimeRange;
    state.currentHistory = IsValidNoteIndex(state.currentNote) ? &tracker_.CurrentHistory() : nullptr;
    state.referenceHistory = IsValidNoteIndex(state.referenceNote) ? &tracker_.ReferenceHistory() : nullptr;
    return state;
}

void TuningPipeline::NotifyHarmonics(bool redraw) {
    if (harmonicsView_ == nullptr) {
        return;
    }
    tracker_.RebuildReferenceHistory(noteTable_, ReferenceNote());
    const HarmonicsState state = CurrentHarmonicsState();
    shownReferenceNote_ = state.referenceNote;
    harmonicsView_->Notify(state, config_.Pitch, redraw);
}

void TuningPipeline::HarmonicsSettingsApplied() {
    const NoteIndex reference = ReferenceNote();
    if (harmonicsView_ == nullptr || reference == shownReferenceNote_) {
        return;
    }
    tracker_.RebuildReferenceHistory(noteTable_, reference);
    // The state carries the reference history again when the new note is
    // valid, so a window whose reference was "none" gets the rebuilt one.
    const HarmonicsState state = CurrentHarmonicsState();
    shownReferenceNote_ = state.referenceNote;
    harmonicsView_->SetState(state);
}
