// Loads arbitrary bytes as "tuner_stretch.xml" and checks that whatever was read is
// written and read back to the same file text.
#include "persistence/ListFiles.h"

#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>

namespace {

// At most MaxListEntries tables, each holding only notes 12..108 with finite
// offsets within an octave.
void CheckEntries(const StretchList& list) {
    FUZZ_CHECK(list.entries.size() <= MaxListEntries);
    for (const StretchTable& s : list.entries) {
        FUZZ_CHECK(s.offsets.size() <= 97);
        for (const auto& [note, cents] : s.offsets) {
            FUZZ_CHECK(note >= 12 && note <= 108);
            FUZZ_CHECK(std::isfinite(cents) && std::fabs(cents) <= MaxOffsetCents);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    StretchList list;
    FUZZ_CHECK(IsReaderResult(ReadStretchDocument(list, bytes)));
    CheckEntries(list);

    const std::string written = StretchDocumentText(list);
    FUZZ_CHECK(WrittenSizeIsBounded(bytes, written));
    // A carriage return followed by a line feed in a name is read back as a
    // line feed alone (Windows line ends are folded), so such names do not
    // come back byte for byte.
    if (written.find("\r\n") != std::string::npos) return 0;
    StretchList reloaded;
    FUZZ_CHECK(ReadStretchDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(StretchDocumentText(reloaded) == written);
    return 0;
}
