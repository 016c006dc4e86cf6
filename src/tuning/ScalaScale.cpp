#include "tuning/ScalaScale.h"

ScalaImportResult ParseScalaTemperament(std::string_view) {
    return {std::nullopt, "Scala files cannot be read yet."};
}

std::string FormatScalaTemperament(const Temperament&) {
    return {};
}
