#include "dialogs/logic/ListSaveCheck.h"

#include "persistence/ListFiles.h"
#include "persistence/XmlReader.h"

namespace {

template <class List, class Write, class Read>
std::string Check(const List& list, Write write, Read read) {
    if (list.entries.size() > MaxListEntries) {
        return "The list holds " + std::to_string(list.entries.size()) + " entries, but only the first " +
               std::to_string(MaxListEntries) + " will be read back when the tuner starts again.";
    }
    const std::string document = write(list);
    if (document.size() > XmlMaxDocumentBytes) {
        return "The list's file would be " + std::to_string(document.size()) +
               " bytes long, over the largest the tuner reads (" + std::to_string(XmlMaxDocumentBytes) +
               " bytes): the whole list would be lost when the tuner starts again.";
    }
    List readBack = list;
    const XmlReadResult result = read(readBack, document);
    if (result != XmlReadComplete || readBack != list) {
        return "Some entries would not be read back as edited when the tuner starts again (a name or a "
               "note list is too long, or holds characters the file cannot keep).";
    }
    return {};
}

}  // namespace

std::string ListSaveWarning(const PresetList& list) {
    // The notes are written in their canonical text, which reads back as the
    // same set.
    return Check(list, PresetDocumentText, ReadPresetDocument);
}

std::string ListSaveWarning(const TemperamentList& list) {
    return Check(list, TemperamentDocumentText, ReadTemperamentDocument);
}

std::string ListSaveWarning(const StretchList& list) {
    return Check(list, StretchDocumentText, ReadStretchDocument);
}
