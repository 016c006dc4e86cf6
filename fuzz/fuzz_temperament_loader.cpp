// Loads arbitrary bytes as "tuner_temperament.xml" and checks that whatever was read is
// written and read back to the same file text.
#include "persistence/ListFiles.h"

#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>

namespace {

// Every temperament holds exactly the twelve pitch classes, all finite.
void CheckEntries(const TemperamentList& list) {
    for (const Temperament& t : list.entries) {
        FUZZ_CHECK(t.offsets.size() == 12);
        FUZZ_CHECK(t.offsets.begin()->first == 0 && t.offsets.rbegin()->first == 11);
        for (const auto& [key, cents] : t.offsets) FUZZ_CHECK(std::isfinite(cents));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TemperamentList list;
    FUZZ_CHECK(IsReaderResult(ReadTemperamentDocument(list, bytes)));
    CheckEntries(list);

    const std::string written = TemperamentDocumentText(list);
    // A carriage return followed by a line feed in a name is read back as a
    // line feed alone (Windows line ends are folded), so such names do not
    // come back byte for byte.
    if (written.find("\r\n") != std::string::npos) return 0;
    TemperamentList reloaded;
    FUZZ_CHECK(ReadTemperamentDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(TemperamentDocumentText(reloaded) == written);
    return 0;
}
