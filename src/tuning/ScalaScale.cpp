#include "tuning/ScalaScale.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kNotesPerOctave = 12;
constexpr double kOctaveCents = 1200.0;
// Cent values are written with a few decimals, so "1200.0000001" still counts
// as the octave while a scale stretched by a hundredth of a cent does not.
constexpr double kOctaveToleranceCents = 0.001;
// More digits than a double holds; beyond this a cents value cannot be meant.
constexpr std::size_t kMaxNumberLength = 64;

// One line of the file with its 1-based number, for the messages.
struct Line {
    int number;
    std::string_view text;
};

// Splits on LF, CR LF and a lone CR alike, so files from any system read the
// same and no line ever keeps a carriage return.
std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    int number = 1;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back({number++, text.substr(start, end - start)});
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The first word of a line; whatever follows it is free text in Scala files.
std::string_view FirstWord(std::string_view s) {
    s = Trim(s);
    std::size_t end = 0;
    while (end < s.size() && !IsBlank(s[end])) ++end;
    return s.substr(0, end);
}

bool IsComment(const Line& line) {
    return !line.text.empty() && line.text.front() == '!';
}

std::string Quoted(std::string_view word) {
    constexpr std::size_t kShown = 24;
    if (word.size() <= kShown) return "\"" + std::string(word) + "\"";
    return "\"" + std::string(word.substr(0, kShown)) + "...\"";
}

std::string AtLine(const Line& line, const std::string& message) {
    return "Line " + std::to_string(line.number) + ": " + message;
}

// A whole word as an unsigned integer; nullopt when it is not one or does not
// fit (the caller tells the two apart by the digits).
std::optional<std::uint64_t> ParseUnsigned(std::string_view word) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return value;
}

bool AllDigits(std::string_view word) {
    if (word.empty()) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

struct PitchResult {
    double cents = 0.0;
    std::string error;
};

// "-12.5", "+701.955", "700." or ".5": plain decimal notation, no exponent.
PitchResult ParseCents(std::string_view word) {
    const std::string shown = Quoted(word);
    if (word.size() > kMaxNumberLength) return {0.0, shown + " is too long to be a cents value."};
    bool negative = false;
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) {
        negative = word.front() == '-';
        word.remove_prefix(1);
    }
    const std::size_t dot = word.find('.');
    const std::string_view whole = word.substr(0, dot);
    const std::string_view fraction = word.substr(dot + 1);
    const bool wellFormed = (AllDigits(whole) || whole.empty()) &&
                            (AllDigits(fraction) || fraction.empty()) && !(whole.empty() && fraction.empty());
    if (!wellFormed) return {0.0, shown + " is not a cents value such as 701.955."};
    double value = 0.0;
    const auto [end, ec] =
        std::from_chars(word.data(), word.data() + word.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != word.data() + word.size() || !std::isfinite(value))
        return {0.0, shown + " is not a usable cents value."};
    return {negative ? -value : value, {}};
}

// "3/2" or "2" (meaning 2/1), both parts positive whole numbers.
PitchResult ParseRatio(std::string_view word) {
    const std::string shown = Quoted(word);
    const std::size_t slash = word.find('/');
    const std::string_view top = word.substr(0, slash);
    const std::string_view bottom =
        slash == std::string_view::npos ? std::string_view("1") : word.substr(slash + 1);
    if (!AllDigits(top) || !AllDigits(bottom))
        return {0.0, shown + " is neither cents (with a dot) nor a ratio such as 3/2."};
    const std::optional<std::uint64_t> numerator = ParseUnsigned(top);
    const std::optional<std::uint64_t> denominator = ParseUnsigned(bottom);
    if (!numerator || !denominator) return {0.0, "the ratio " + shown + " has too many digits."};
    if (*numerator == 0 || *denominator == 0)
        return {0.0, "the ratio " + shown + " is not a positive number."};
    const double cents = kOctaveCents * (std::log2(static_cast<double>(*numerator)) -
                                         std::log2(static_cast<double>(*denominator)));
    return {cents, {}};
}

PitchResult ParsePitch(std::string_view word) {
    if (word.find('.') != std::string_view::npos) return ParseCents(word);
    return ParseRatio(word);
}

// The lines that carry the scale: comments dropped, and blank lines dropped
// after the description (which may itself be blank).
std::vector<Line> ContentLines(std::string_view text) {
    std::vector<Line> content;
    for (const Line& line : SplitLines(text)) {
        if (IsComment(line)) continue;
        if (!content.empty() && Trim(line.text).empty()) continue;
        content.push_back(line);
    }
    return content;
}

// The note count line, which must say twelve.
std::string CheckNoteCount(const std::vector<Line>& content) {
    if (content.empty()) return "The file holds no scale: its description line is missing.";
    if (content.size() < 2) return "The file ends after the description; the number of notes is missing.";
    const Line& line = content[1];
    const std::string_view word = FirstWord(line.text);
    if (!AllDigits(word)) return AtLine(line, Quoted(word) + " is not a number of notes.");
    const std::optional<std::uint64_t> count = ParseUnsigned(word);
    if (!count) return AtLine(line, "the number of notes " + Quoted(word) + " is far too large.");
    if (*count != kNotesPerOctave)
        return "The scale has " + std::to_string(*count) +
               " notes per octave; only scales of 12 notes can be used as a temperament.";
    return {};
}

ScalaImportResult Refused(std::string message) {
    return {std::nullopt, std::move(message)};
}

// The shortest fixed notation of value with a dot and at least one decimal
// that reads back (through the same arithmetic as the reader) as the offset.
std::string CentsText(double value, int halfSteps, float offset) {
    std::array<char, 96> buffer{};
    for (int decimals = 1; decimals <= 20; ++decimals) {
        std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals, value);
        const PitchResult back = ParseCents(buffer.data());
        if (back.error.empty() && static_cast<float>(back.cents - 100.0 * halfSteps) == offset) break;
    }
    return buffer.data();
}

// A name that stays one description line: line breaks become spaces, and a
// leading "!" is shielded so the line is not read as a comment.
std::string DescriptionLine(const std::string& name) {
    std::string line = name;
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    if (!line.empty() && line.front() == '!') line.insert(line.begin(), ' ');
    return line;
}

// Checks one pitch line of the scale and, for the eleven inner steps, keeps
// its offset from equal temperament. Returns the reason for refusing, if any.
std::string TakePitch(const Line& line, int step, Temperament& temperament) {
    const PitchResult pitch = ParsePitch(FirstWord(line.text));
    if (!pitch.error.empty()) return AtLine(line, pitch.error);
    if (step == kNotesPerOctave) {
        if (std::fabs(pitch.cents - kOctaveCents) <= kOctaveToleranceCents) return {};
        return AtLine(line, "the last pitch must be the octave (2/1 or 1200.0 cents); this one is " +
                                std::to_string(pitch.cents) + " cents.");
    }
    const double offset = pitch.cents - 100.0 * step;
    if (!(std::fabs(offset) <= MaxOffsetCents))
        return AtLine(line, "the pitch lies more than 1200 cents from its equal-tempered place of " +
                                std::to_string(100 * step) +
                                ".0 cents; a temperament keeps offsets of at most 1200 cents.");
    temperament.SetOffset(step, static_cast<float>(offset));
    return {};
}

}  // namespace

ScalaImportResult ParseScalaTemperament(std::string_view text) {
    const std::vector<Line> content = ContentLines(text);
    if (std::string error = CheckNoteCount(content); !error.empty()) return Refused(std::move(error));

    Temperament temperament;
    temperament.name = std::string(Trim(content[0].text));
    const std::size_t available = content.size() - 2;
    for (int step = 1; step <= kNotesPerOctave; ++step) {
        if (static_cast<std::size_t>(step) > available)
            return Refused("The file ends after " + std::to_string(available) + " of the 12 pitches.");
        const Line& line = content[static_cast<std::size_t>(step) + 1];
        if (std::string error = TakePitch(line, step, temperament); !error.empty())
            return Refused(std::move(error));
    }
    return {std::move(temperament), {}};
}

std::string FormatScalaTemperament(const Temperament& temperament) {
    // The scale starts on C, so every pitch is measured from C's own offset;
    // the note table makes A the fixed point anyway, so the tuning is kept.
    const float base = std::isfinite(temperament.Offset(0)) ? temperament.Offset(0) : 0.0f;
    std::string text = "! Temperament written by Zelvo Tuner\n!\n";
    text += DescriptionLine(temperament.name) + "\n 12\n!\n";
    for (int step = 1; step < kNotesPerOctave; ++step) {
        float offset = temperament.Offset(step) - base;
        if (!std::isfinite(offset)) offset = 0.0f;
        text += " " + CentsText(100.0 * step + static_cast<double>(offset), step, offset) + "\n";
    }
    text += " 2/1\n";
    return text;
}
