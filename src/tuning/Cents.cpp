#include "tuning/Cents.h"

#include <cmath>

double FrequencyToCents(double frequencyHz) {
    return std::log(frequencyHz / Units::A4Hz) * Units::CentsPerLogUnit;
}

double CentsToFrequency(double cents) {
    return Units::A4Hz * std::exp(cents / Units::CentsPerLogUnit);
}
