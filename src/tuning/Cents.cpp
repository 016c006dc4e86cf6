#include "tuning/Cents.h"

#include <cmath>
#include <cstdio>

double FrequencyToCents(double frequencyHz) {
    return std::log(frequencyHz / ConcertA4Hz) * CentsPerNaturalLog;
}

double CentsToFrequency(double cents) {
    return ConcertA4Hz * std::exp(cents / CentsPerNaturalLog);
}

double EqualTemperedTarget(NoteIndex n, float middleAHz) {
    return (static_cast<double>(n) - 69.0) * 100.0 + FrequencyToCents(middleAHz);
}

bool IsMiddleAHzInRange(double hz) {
    return hz >= MiddleAMinHz && hz <= MiddleAMaxHz;
}

bool IsMiddleACentsInRange(double cents) {
    return cents >= MiddleAMinCents && cents <= MiddleAMaxCents;
}

std::string FormatReferenceValue(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%3.3lf", value);
    return buffer;
}
