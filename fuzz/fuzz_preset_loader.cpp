// Loads arbitrary bytes as "tuner_presets.xml" and checks that whatever was read is
// written and read back to the same file text.
#include "persistence/ListFiles.h"

#include "FuzzCheck.h"

#include <cstdint>

namespace {

void CheckEntries(const PresetList& list) {
    FUZZ_CHECK(list.entries.size() <= MaxListEntries);
    for (const Preset& preset : list.entries)
        for (NoteIndex n : preset.notes) FUZZ_CHECK(IsValidNoteIndex(n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    PresetList list;
    FUZZ_CHECK(IsReaderResult(ReadPresetDocument(list, bytes)));
    CheckEntries(list);

    const std::string written = PresetDocumentText(list);
    FUZZ_CHECK(WrittenSizeIsBounded(bytes, written));
    // A carriage return followed by a line feed in a name is read back as a
    // line feed alone (Windows line ends are folded), so such names do not
    // come back byte for byte.
    if (written.find("\r\n") != std::string::npos) return 0;
    PresetList reloaded;
    FUZZ_CHECK(ReadPresetDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(PresetDocumentText(reloaded) == written);
    return 0;
}
