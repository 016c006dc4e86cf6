// Feeds arbitrary bytes to the XML reader, from memory and from a stream, and
// checks that both agree and that the handler sees a consistent element.
#include "persistence/XmlReader.h"

#include "FuzzCheck.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Trace {
    std::vector<std::string> events;
};

bool Record(const std::string& name, const ElementContext& context, void* data) {
    FUZZ_CHECK(!context.path.empty());
    FUZZ_CHECK(context.path.back() == name);
    auto& trace = *static_cast<Trace*>(data);
    std::string event = name + '\x01' + context.text;
    for (const auto& [key, value] : context.attributes) event += '\x02' + key + '\x03' + value;
    trace.events.push_back(std::move(event));
    // Let the input decide when the handler stops the read, to reach code 7.
    return context.Attribute("stop").empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Trace fromMemory;
    const XmlReadResult memoryResult = XmlReader(bytes, Record, &fromMemory);
    FUZZ_CHECK(IsReaderResult(memoryResult));

    // The stream path must read exactly the same document.
    std::FILE* stream = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "r") : std::tmpfile();
    if (stream == nullptr) return 0;
    Trace fromStream;
    const XmlReadResult streamResult = XmlReader(stream, Record, &fromStream);
    std::fclose(stream);
    FUZZ_CHECK(streamResult == memoryResult);
    FUZZ_CHECK(fromStream.events == fromMemory.events);
    return 0;
}
