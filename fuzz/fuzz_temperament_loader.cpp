// Loads arbitrary bytes as "tuner_temperament.xml" and checks that whatever was read is
// written and read back to the same file text.
#include "persistence/ListFiles.h"

#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>

namespace {

// At most MaxListEntries temperaments, each holding only pitch classes
// 0..11 with finite offsets within an octave.
void CheckEntries(const TemperamentList& list) {
    FUZZ_CHECK(list.entries.size() <= MaxListEntries);
    for (const Temperament& t : list.entries) {
        FUZZ_CHECK(t.offsets.size() <= 12);
        for (const auto& [key, cents] : t.offsets) {
            FUZZ_CHECK(key >= 0 && key <= 11);
            FUZZ_CHECK(std::isfinite(cents) && std::fabs(cents) <= MaxOffsetCents);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TemperamentList list;
    FUZZ_CHECK(IsReaderResult(ReadTemperamentDocument(list, bytes)));
    CheckEntries(list);

    const std::string written = TemperamentDocumentText(list);
    FUZZ_CHECK(WrittenSizeIsBounded(bytes, written));
    // A carriage return followed by a line feed in a name is read back as a
    // line feed alone (Windows line ends are folded), so such names do not
    // come back byte for byte.
    if (written.find("\r\n") != std::string::npos) return 0;
    TemperamentList reloaded;
    FUZZ_CHECK(ReadTemperamentDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(TemperamentDocumentText(reloaded) == written);
    return 0;
}
