// Loads arbitrary bytes as "tuner_stretch.xml" and checks that whatever was read is
// written and read back to the same file text.
#include "persistence/ListFiles.h"

#include "FuzzCheck.h"

#include <cmath>
#include <cstdint>

namespace {

// Every stretch table holds exactly the notes 12..108, all finite.
void CheckEntries(const StretchList& list) {
    for (const StretchTable& s : list.entries) {
        FUZZ_CHECK(s.offsets.size() == 97);
        FUZZ_CHECK(s.offsets.begin()->first == 12 && s.offsets.rbegin()->first == 108);
        for (const auto& [note, cents] : s.offsets) FUZZ_CHECK(std::isfinite(cents));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    StretchList list;
    FUZZ_CHECK(IsReaderResult(ReadStretchDocument(list, bytes)));
    CheckEntries(list);

    const std::string written = StretchDocumentText(list);
    // A carriage return followed by a line feed in a name is read back as a
    // line feed alone (Windows line ends are folded), so such names do not
    // come back byte for byte.
    if (written.find("\r\n") != std::string::npos) return 0;
    StretchList reloaded;
    FUZZ_CHECK(ReadStretchDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(StretchDocumentText(reloaded) == written);
    return 0;
}
