// Loads arbitrary bytes as "tuner_config.xml" and checks the loader's
// promises: a rejected file changes nothing, a loaded record holds only
// values inside their ranges, and saving then loading is stable.
#include "persistence/ConfigFile.h"

#include "FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ConfigRecord config;
    const XmlReadResult result = ReadConfigDocument(config, bytes);
    FUZZ_CHECK(IsReaderResult(result));
    if (result != XmlReadComplete) FUZZ_CHECK(config == ConfigRecord{});

    ConfigRecord checked = config;
    FUZZ_CHECK(!ApplyConfigFallbacks(checked));

    // What was loaded is written and read back to the same file text.
    const std::string written = ConfigDocumentText(config);
    ConfigRecord reloaded;
    FUZZ_CHECK(ReadConfigDocument(reloaded, written) == XmlReadComplete);
    FUZZ_CHECK(ConfigDocumentText(reloaded) == written);
    return 0;
}
