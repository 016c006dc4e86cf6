// Reads arbitrary bytes as a Scala scale file. Whatever is accepted must be a
// well-formed temperament, and writing it out and reading it back must give
// the same temperament and the same text.
#include "tuning/ScalaScale.h"

#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const ScalaImportResult result = ParseScalaTemperament(bytes);
    FUZZ_CHECK(result.temperament.has_value() == result.error.empty());
    if (!result.temperament) return 0;
    const Temperament& temperament = *result.temperament;
    FUZZ_CHECK(temperament.offsets.size() == 12);
    FUZZ_CHECK(temperament.Offset(0) == 0.0f);
    for (const auto& [key, cents] : temperament.offsets) {
        FUZZ_CHECK(key >= 0 && key <= 11);
        FUZZ_CHECK(std::isfinite(cents) && std::fabs(cents) <= MaxOffsetCents);
    }
    FUZZ_CHECK(temperament.name.size() <= size);

    const std::string written = FormatScalaTemperament(temperament);
    FUZZ_CHECK(WrittenSizeIsBounded(bytes, written));
    const ScalaImportResult reread = ParseScalaTemperament(written);
    FUZZ_CHECK(reread.temperament.has_value());
    FUZZ_CHECK(*reread.temperament == temperament);
    FUZZ_CHECK(FormatScalaTemperament(*reread.temperament) == written);
    return 0;
}
