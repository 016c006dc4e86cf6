#include "tuning/Cents.h"

#include <cmath>
#include <cstdio>

double FrequencyToCents(double frequencyHz) {
    return std::log(frequencyHz / Units::A4Hz) * Units::CentsPerLogUnit;
}

double CentsToFrequency(double cents) {
    return Units::A4Hz * std::exp(cents / Units::CentsPerLogUnit);
}

double EqualTemperedTarget(NoteIndex n, float middleAHz) {
    return (static_cast<double>(n) - Units::A4Note) * 100.0 + FrequencyToCents(middleAHz);
}

bool IsMiddleACentsInRange(double cents) {
    return cents >= MiddleAMinCents && cents <= MiddleAMaxCents;
}

std::string FormatReferenceValue(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%3.3lf", value);
    return buffer;
}
