// Streaming writer for the small XML documents the tuner keeps its settings in.
//
// The writer emits one element at a time with a fixed layout: one tab per open
// element before each start tag, a line end after every start tag that has
// children and after every end tag, text kept on the line of its start tag,
// and " />" for elements that have neither text nor children. Attribute values
// and text are escaped; element and attribute names are written as given.
// Text is UTF-8 and is written unchanged apart from the escaping.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

class XmlWriter {
public:
    enum class State { Initial, InStartTag, InStartTagAfterAttribute, AfterText, AfterEndTag };

    XmlWriter() = default;
    // Writes to a stream the caller opened and will close (the writer never
    // closes a stream it did not open itself).
    explicit XmlWriter(std::FILE* stream);
    // Appends the document to a string instead of a file.
    explicit XmlWriter(std::string& output);
    ~XmlWriter() = default;

    XmlWriter(const XmlWriter&) = delete;
    XmlWriter& operator=(const XmlWriter&) = delete;

    bool StartElement(std::string_view name);
    // Only valid while a start tag is still open; false (nothing written)
    // when the name is empty or the start tag has already ended.
    bool WriteAttribute(std::string_view name, std::string_view value);
    // Ends an open start tag with ">" (no line end) and writes the escaped text.
    bool WriteText(std::string_view text);
    // False when no element is open.
    bool EndElement();

    // Flushes the stream and detaches from it. Returns false when anything
    // written could not be stored (stream error or flush failure). The stream
    // stays open: its owner closes it.
    bool Close();

    std::FILE* Stream() const { return file_; }
    State CurrentState() const { return state_; }
    std::size_t Depth() const { return openElements_.size(); }

    // The escaping used for attribute values and text: & < > ' " become
    // &amp; &lt; &gt; &apos; &quot;. The ampersand is handled first so the
    // ampersands of the other entities stay as they are.
    static std::string Escape(std::string_view text);

private:
    void Write(std::string_view bytes);
    void WriteTabs(std::size_t count);
    bool InStartTag() const {
        return state_ == State::InStartTag || state_ == State::InStartTagAfterAttribute;
    }

    std::FILE* file_ = nullptr;
    std::string* memory_ = nullptr;
    State state_ = State::Initial;
    std::vector<std::string> openElements_;
};
