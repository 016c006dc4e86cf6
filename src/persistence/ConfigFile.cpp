#include "persistence/ConfigFile.h"

#include "persistence/NumberText.h"
#include "persistence/XmlFile.h"

#include <array>

namespace {

enum class Conversion { Integer, Float, Boolean };

// One stored element: the group it must stand in, its name and its field.
struct ConfigRow {
    const char* group;
    const char* element;
    Conversion conversion;
    std::int32_t ConfigRecord::*intField;
    float ConfigRecord::*floatField;
    bool ConfigRecord::*boolField;
};

constexpr ConfigRow Int(const char* g, const char* e, std::int32_t ConfigRecord::*f) {
    return {g, e, Conversion::Integer, f, nullptr, nullptr};
}
constexpr ConfigRow Flt(const char* g, const char* e, float ConfigRecord::*f) {
    return {g, e, Conversion::Float, nullptr, f, nullptr};
}
constexpr ConfigRow Bool(const char* g, const char* e, bool ConfigRecord::*f) {
    return {g, e, Conversion::Boolean, nullptr, nullptr, f};
}

// Looked up in this order; the first row whose element name matches and
// whose group stands anywhere in the element's path wins. The order matters
// for the PosLeft .. PosBottom names that both windows use.
constexpr std::array kConfigRows = {
    Int("TunerWindow", "PosLeft", &ConfigRecord::TunerPosLeft),
    Int("TunerWindow", "PosTop", &ConfigRecord::TunerPosTop),
    Int("TunerWindow", "PosRight", &ConfigRecord::TunerPosRight),
    Int("TunerWindow", "PosBottom", &ConfigRecord::TunerPosBottom),
    Int("Recording", "Device", &ConfigRecord::Device),
    Int("Recording", "Format", &ConfigRecord::Format),
    Flt("Calibration", "KnownFreq", &ConfigRecord::KnownFreq),
    Flt("Calibration", "ExpectedFreq", &ConfigRecord::ExpectedFreq),
    Flt("System", "MiddleA", &ConfigRecord::MiddleA),
    Int("System", "Pitch", &ConfigRecord::Pitch),
    Flt("System", "NoiseFloor", &ConfigRecord::NoiseFloor),
    Flt("System", "EnergySmoothDuration", &ConfigRecord::EnergySmoothDuration),
    Int("System", "AnalysisQuality", &ConfigRecord::AnalysisQuality),
    Int("HarmonicsWindow", "PosLeft", &ConfigRecord::HarmonicsPosLeft),
    Int("HarmonicsWindow", "PosTop", &ConfigRecord::HarmonicsPosTop),
    Int("HarmonicsWindow", "PosRight", &ConfigRecord::HarmonicsPosRight),
    Int("HarmonicsWindow", "PosBottom", &ConfigRecord::HarmonicsPosBottom),
    Int("HarmonicsWindow", "ReferenceOption", &ConfigRecord::ReferenceOption),
    Int("HarmonicsWindow", "CurrentHarmonicSelected", &ConfigRecord::CurrentHarmonicSelected),
    Int("HarmonicsWindow", "ReferenceHarmonicSelected", &ConfigRecord::ReferenceHarmonicSelected),
    Flt("HarmonicsWindow", "TimeRange", &ConfigRecord::TimeRange),
    Flt("HarmonicsWindow", "CentRange", &ConfigRecord::CentRange),
    Bool("HarmonicsWindow", "Visible", &ConfigRecord::HarmonicsVisible),
    Bool("HarmonicsWindow", "AlwaysStore", &ConfigRecord::AlwaysStore),
    Int("Graphics", "CentAccuracy", &ConfigRecord::CentAccuracy),
    Int("Graphics", "Rate", &ConfigRecord::Rate),
    Bool("Graphics", "Smooth", &ConfigRecord::Smooth),
    Bool("Graphics", "AlwaysOnTop", &ConfigRecord::AlwaysOnTop),
    Bool("TunerConfig", "PrecisePitch", &ConfigRecord::PrecisePitch),
};

void Leaf(XmlWriter& w, const char* name, const std::string& value) {
    w.StartElement(name);
    w.WriteText(value);
    w.EndElement();
}
void Leaf(XmlWriter& w, const char* name, std::int32_t value) {
    Leaf(w, name, IntToText(value));
}
void Leaf(XmlWriter& w, const char* name, float value) {
    Leaf(w, name, FloatToText(value));
}
void Leaf(XmlWriter& w, const char* name, bool value) {
    Leaf(w, name, std::string(value ? "true" : "false"));
}

// All or nothing: a damaged or foreign file changes nothing, so the values
// read before the problem are undone as well.
void FinishConfigRead(ConfigRecord& config, const ConfigRecord& saved, XmlReadResult result) {
    if (result != XmlReadComplete)
        config = saved;
    else
        ApplyConfigFallbacks(config);
}

}  // namespace

void WriteConfigDocument(const ConfigRecord& c, XmlWriter& w) {
    w.StartElement("TunerConfig");
    w.WriteAttribute("Version", "2");

    w.StartElement("TunerWindow");
    Leaf(w, "PosLeft", c.TunerPosLeft);
    Leaf(w, "PosTop", c.TunerPosTop);
    Leaf(w, "PosRight", c.TunerPosRight);
    Leaf(w, "PosBottom", c.TunerPosBottom);
    w.EndElement();

    w.StartElement("Recording");
    Leaf(w, "Device", c.Device);
    Leaf(w, "Format", c.Format);
    w.EndElement();

    w.StartElement("Calibration");
    Leaf(w, "KnownFreq", c.KnownFreq);
    Leaf(w, "ExpectedFreq", c.ExpectedFreq);
    w.EndElement();

    w.StartElement("System");
    Leaf(w, "MiddleA", c.MiddleA);
    Leaf(w, "Pitch", c.Pitch);
    Leaf(w, "NoiseFloor", c.NoiseFloor);
    Leaf(w, "EnergySmoothDuration", c.EnergySmoothDuration);
    Leaf(w, "AnalysisQuality", c.AnalysisQuality);
    w.EndElement();

    w.StartElement("Graphics");
    Leaf(w, "Smooth", c.Smooth);
    Leaf(w, "Rate", c.Rate);
    Leaf(w, "CentAccuracy", c.CentAccuracy);
    Leaf(w, "AlwaysOnTop", c.AlwaysOnTop);
    w.EndElement();

    w.StartElement("HarmonicsWindow");
    Leaf(w, "Visible", c.HarmonicsVisible);
    Leaf(w, "AlwaysStore", c.AlwaysStore);
    Leaf(w, "ReferenceOption", c.ReferenceOption);
    Leaf(w, "CurrentHarmonicSelected", c.CurrentHarmonicSelected);
    Leaf(w, "ReferenceHarmonicSelected", c.ReferenceHarmonicSelected);
    Leaf(w, "TimeRange", c.TimeRange);
    Leaf(w, "CentRange", c.CentRange);
    Leaf(w, "PosLeft", c.HarmonicsPosLeft);
    Leaf(w, "PosTop", c.HarmonicsPosTop);
    Leaf(w, "PosRight", c.HarmonicsPosRight);
    Leaf(w, "PosBottom", c.HarmonicsPosBottom);
    w.EndElement();

    // After every older element, so that older readers, which skip unknown
    // names, read the rest of the file unchanged.
    Leaf(w, "PrecisePitch", c.PrecisePitch);

    w.EndElement();
}

std::string ConfigDocumentText(const ConfigRecord& config) {
    return XmlDocumentText([&](XmlWriter& w) { WriteConfigDocument(config, w); });
}

bool SaveConfig(const ConfigRecord& config, const std::filesystem::path& file) {
    return WriteXmlFile(file, [&](XmlWriter& w) { WriteConfigDocument(config, w); });
}

bool ConfigElementHandler(const std::string& name, const ElementContext& context, void* record) {
    auto& config = *static_cast<ConfigRecord*>(record);
    if (name == "TunerConfig") {
        // Files written before the element existed read as precise pitch on,
        // whatever the record held.
        config.PrecisePitch = true;
        return context.Attribute("Version") == "2";
    }

    for (const ConfigRow& row : kConfigRows) {
        if (name != row.element || !context.PathContains(row.group)) continue;
        switch (row.conversion) {
            case Conversion::Integer: config.*row.intField = TextToInt(context.text); break;
            case Conversion::Float: config.*row.floatField = NarrowToFloat(TextToDouble(context.text)); break;
            case Conversion::Boolean: config.*row.boolField = context.text == "true"; break;
        }
        return true;
    }
    return true;  // groups, unknown names, known names outside their group
}

void LoadConfig(ConfigRecord& config, const std::filesystem::path& file) {
    const ConfigRecord saved = config;
    const auto result = ReadXmlFile(file, ConfigElementHandler, &config);
    if (result)  // a file that cannot be opened leaves the record as it is
        FinishConfigRead(config, saved, *result);
}

XmlReadResult ReadConfigDocument(ConfigRecord& config, std::string_view document) {
    const ConfigRecord saved = config;
    const XmlReadResult result = XmlReader(document, ConfigElementHandler, &config);
    FinishConfigRead(config, saved, result);
    return result;
}
