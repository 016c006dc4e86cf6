#include "persistence/ListFiles.h"

#include "persistence/NumberText.h"
#include "persistence/XmlFile.h"

#include <cmath>

namespace {

void WriteOffset(XmlWriter& w, int index, float cents) {
    w.StartElement("Offset");
    w.WriteAttribute("Index", IntToText(index));
    w.WriteAttribute("Cents", FloatToText(cents));
    w.EndElement();
}

// The Cents value of an Offset element; false when it is not a finite number
// within an octave either way: such a value would put a note's target on
// another note, or no note would ever be reported.
bool ReadCents(const ElementContext& context, float& cents) {
    cents = NarrowToFloat(TextToDouble(context.Attribute("Cents")));
    return std::isfinite(cents) && std::fabs(cents) <= MaxOffsetCents;
}

int IntAttribute(const ElementContext& context, const std::string& name) {
    return TextToInt(context.Attribute(name));  // missing: empty text, hence 0
}

}  // namespace

// ----- writing -----

void WritePresetDocument(const PresetList& list, XmlWriter& w) {
    w.StartElement("PresetList");
    w.WriteAttribute("Version", "3");
    w.WriteAttribute("SelectedIndex", IntToText(list.SelectedIndex));
    for (const Preset& preset : list.entries) {
        w.StartElement("Preset");
        w.WriteAttribute("Name", preset.name);
        w.WriteText(FormatNoteList(preset.notes));
        w.EndElement();
    }
    w.EndElement();
}

void WriteTemperamentDocument(const TemperamentList& list, XmlWriter& w) {
    w.StartElement("TemperamentList");
    w.WriteAttribute("Version", "3");
    w.WriteAttribute("SelectedIndex", IntToText(list.SelectedIndex));
    w.WriteAttribute("SelectedKey", IntToText(list.SelectedKey));
    for (const Temperament& temperament : list.entries) {
        w.StartElement("Temperament");
        w.WriteAttribute("Name", temperament.name);
        for (const auto& [key, cents] : temperament.offsets)  // ascending keys
            WriteOffset(w, key, cents);
        w.EndElement();
    }
    w.EndElement();
}

void WriteStretchDocument(const StretchList& list, XmlWriter& w) {
    w.StartElement("StretchList");
    w.WriteAttribute("Version", "3");
    w.WriteAttribute("SelectedIndex", IntToText(list.SelectedIndex));
    for (const StretchTable& table : list.entries) {
        w.StartElement("Stretch");
        w.WriteAttribute("Name", table.name);
        for (const auto& [note, cents] : table.offsets)  // ascending keys
            WriteOffset(w, MakeNoteIndex(note), cents);
        w.EndElement();
    }
    w.EndElement();
}

std::string PresetDocumentText(const PresetList& list) {
    return XmlDocumentText([&](XmlWriter& w) { WritePresetDocument(list, w); });
}
std::string TemperamentDocumentText(const TemperamentList& list) {
    return XmlDocumentText([&](XmlWriter& w) { WriteTemperamentDocument(list, w); });
}
std::string StretchDocumentText(const StretchList& list) {
    return XmlDocumentText([&](XmlWriter& w) { WriteStretchDocument(list, w); });
}

bool SavePresetList(const PresetList& list, const std::filesystem::path& file) {
    return WriteXmlFile(file, [&](XmlWriter& w) { WritePresetDocument(list, w); });
}
bool SaveTemperamentList(const TemperamentList& list, const std::filesystem::path& file) {
    return WriteXmlFile(file, [&](XmlWriter& w) { WriteTemperamentDocument(list, w); });
}
bool SaveStretchList(const StretchList& list, const std::filesystem::path& file) {
    return WriteXmlFile(file, [&](XmlWriter& w) { WriteStretchDocument(list, w); });
}

// ----- handlers -----
// Element names are compared exactly and the path is not looked at: an entry
// or Offset counts wherever it stands. Other elements are ignored.

bool PresetElementHandler(const std::string& name, const ElementContext& context, void* data) {
    auto& list = *static_cast<PresetList*>(data);
    if (name == "PresetList") {
        // The preset file compares Version as a number ("3.0" passes).
        if (IntAttribute(context, "Version") != 3) return false;
        list.SelectedIndex = IntAttribute(context, "SelectedIndex");
    } else if (name == "Preset") {
        if (list.entries.size() >= MaxListEntries) return false;
        list.entries.push_back(Preset{context.Attribute("Name"), ParseNoteList(context.text)});
    }
    return true;
}

bool TemperamentElementHandler(const std::string& name, const ElementContext& context, void* data) {
    auto& list = *static_cast<TemperamentList*>(data);
    if (name == "TemperamentList") {
        // Exact text: "3.0" and " 3" are rejected here.
        if (context.Attribute("Version") != "3") return false;
        list.SelectedIndex = IntAttribute(context, "SelectedIndex");
        list.SelectedKey = IntAttribute(context, "SelectedKey");
    } else if (name == "Temperament") {
        if (list.entries.size() >= MaxListEntries) return false;
        // Holds only the offsets the file gives (the others read as 0.0), so
        // writing it back never makes the file larger than it was.
        Temperament temperament;
        temperament.offsets.clear();
        temperament.name = context.Attribute("Name");
        list.entries.push_back(std::move(temperament));
    } else if (name == "Offset" && !list.entries.empty()) {
        // Pitch classes other than 0..11 could never affect a target; they
        // are dropped rather than carried along and written back.
        const int key = IntAttribute(context, "Index");
        float cents = 0.0f;
        if (key >= 0 && key <= 11 && ReadCents(context, cents)) list.entries.back().SetOffset(key, cents);
    }
    return true;
}

bool StretchElementHandler(const std::string& name, const ElementContext& context, void* data) {
    auto& list = *static_cast<StretchList*>(data);
    if (name == "StretchList") {
        if (context.Attribute("Version") != "3") return false;
        list.SelectedIndex = IntAttribute(context, "SelectedIndex");
    } else if (name == "Stretch") {
        if (list.entries.size() >= MaxListEntries) return false;
        StretchTable table;  // only the offsets the file gives, as above
        table.offsets.clear();
        table.name = context.Attribute("Name");
        list.entries.push_back(std::move(table));
    } else if (name == "Offset" && !list.entries.empty()) {
        // Through the note-number rule; notes outside 12..108 are dropped.
        const NoteIndex note = MakeNoteIndex(IntAttribute(context, "Index"));
        float cents = 0.0f;
        if (note != NoteIndexInvalid && ReadCents(context, cents)) list.entries.back().SetOffset(note, cents);
    }
    return true;
}

// ----- reading -----

void LoadPresetList(PresetList& list, const std::filesystem::path& file) {
    list.entries.clear();
    ReadXmlFile(file, PresetElementHandler, &list);
}
void LoadTemperamentList(TemperamentList& list, const std::filesystem::path& file) {
    list.entries.clear();
    ReadXmlFile(file, TemperamentElementHandler, &list);
}
void LoadStretchList(StretchList& list, const std::filesystem::path& file) {
    list.entries.clear();
    ReadXmlFile(file, StretchElementHandler, &list);
}

XmlReadResult ReadPresetDocument(PresetList& list, std::string_view document) {
    list.entries.clear();
    return XmlReader(document, PresetElementHandler, &list);
}
XmlReadResult ReadTemperamentDocument(TemperamentList& list, std::string_view document) {
    list.entries.clear();
    return XmlReader(document, TemperamentElementHandler, &list);
}
XmlReadResult ReadStretchDocument(StretchList& list, std::string_view document) {
    list.entries.clear();
    return XmlReader(document, StretchElementHandler, &list);
}
