#include "persistence/XmlReader.h"

#include "persistence/FileTextEncoding.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kEnd = -1;

// One byte at a time from a stream or from memory. A carriage return
// directly followed by a line feed is delivered as the line feed alone, as a
// stream opened in text mode does on Windows, so files written there read
// the same everywhere.
class ByteSource {
public:
    explicit ByteSource(std::FILE* stream) : stream_(stream) {}
    explicit ByteSource(std::string_view memory) : memory_(memory) {}

    int Next() {
        int c = Raw();
        if (c == '\r') {
            const int following = Raw();
            if (following == '\n') return '\n';
            pending_ = following;
        }
        return c;
    }

    bool Overflowed() const { return overflowed_; }

private:
    int Raw() {
        if (pending_ != kNone) {
            const int c = pending_;
            pending_ = kNone;
            return c;
        }
        if (stream_ != nullptr) {
            // A stream that grows past the size limit while it is read ends
            // there; the reader reports the overflow.
            const int c = std::fgetc(stream_);
            if (c == EOF) return kEnd;
            if (consumed_ >= XmlMaxDocumentBytes) {
                overflowed_ = true;
                return kEnd;
            }
            ++consumed_;
            return c;
        }
        if (position_ < memory_.size()) return static_cast<unsigned char>(memory_[position_++]);
        return kEnd;
    }

    static constexpr int kNone = -2;
    std::FILE* stream_ = nullptr;
    std::string_view memory_;
    std::size_t position_ = 0;
    std::size_t consumed_ = 0;
    bool overflowed_ = false;
    int pending_ = kNone;
};

bool IsWhite(int c) {
    return c == ' ' || c == '\r' || c == '\t' || c == '\n';
}

class DocumentReader {
public:
    DocumentReader(ByteSource& source, const ElementHandler& handler, void* userData)
        : source_(source), handler_(handler), userData_(userData) {}

    XmlReadResult Read() {
        const XmlReadResult result = ReadElements();
        return source_.Overflowed() ? XmlReadLimitExceeded : result;
    }

private:
    XmlReadResult ReadElements();
    int Next() { return c_ = source_.Next(); }
    // Advances past white space; false at the end of the input.
    bool SkipWhite() {
        while (IsWhite(c_))
            if (Next() == kEnd) return false;
        return true;
    }
    // Advances to the next "<"; false at the end of the input.
    bool SkipToTagOpen() {
        while (c_ != '<')
            if (Next() == kEnd) return false;
        return true;
    }
    XmlReadResult DecodeEntity(std::string& raw);
    // Adds the current character, or the entity it starts, to a value or text.
    XmlReadResult AppendCharacter(std::string& raw);
    XmlReadResult DecodeCharacterReference(std::string& raw);
    // The steps of Read(): a start tag's name and attributes, up to its "/"
    // or ">"; one attribute; the text after the ">" up to the next "<".
    XmlReadResult ReadStartTag();
    XmlReadResult ReadAttribute();
    XmlReadResult ReadText();
    bool CallHandler();

    ByteSource& source_;
    const ElementHandler& handler_;
    void* userData_;
    int c_ = kEnd;
    ElementContext context_;
};

// Called with c_ == '&'. Appends the decoded character's bytes to raw and
// leaves c_ on the closing ";". Entities are recognised by their first
// letters only, so "&lt;" and "&lxyz;" both give "<".
XmlReadResult DocumentReader::AppendCharacter(std::string& raw) {
    if (raw.size() >= XmlMaxTextBytes) return XmlReadLimitExceeded;
    if (c_ == '&') return DecodeEntity(raw);
    raw += static_cast<char>(c_);
    return XmlReadComplete;
}

XmlReadResult DocumentReader::DecodeEntity(std::string& raw) {
    if (Next() == kEnd) return XmlReadUnexpectedEnd;
    switch (c_) {
        case 'l': raw += '<'; break;
        case 'g': raw += '>'; break;
        case 'q': raw += '"'; break;
        case 'a':
            if (Next() == kEnd) return XmlReadUnexpectedEnd;
            if (c_ == 'm')
                raw += '&';
            else if (c_ == 'p')
                raw += '\'';
            else
                return XmlReadSyntaxError;
            break;
        case '#': return DecodeCharacterReference(raw);
        default: return XmlReadSyntaxError;
    }
    // The rest of the entity's name up to and including ";" is consumed.
    while (c_ != ';')
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
    return XmlReadComplete;
}

// Called with c_ on the "#" of "&#65;" or "&#x41;"; leaves c_ on the ";".
// Only the low 8 bits of the number are kept; that byte then counts as a byte
// of the file (so it takes part in the UTF-8 decoding). Unsigned arithmetic
// wraps, which preserves the low 8 bits.
XmlReadResult DocumentReader::DecodeCharacterReference(std::string& raw) {
    unsigned value = 0;
    unsigned base = 10;
    bool anyDigit = false;
    if (Next() == kEnd) return XmlReadUnexpectedEnd;
    if (c_ == 'x') {
        base = 16;
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
    }
    while (c_ != ';') {
        unsigned digit = 0;
        if (c_ >= '0' && c_ <= '9')
            digit = static_cast<unsigned>(c_ - '0');
        else if (base == 16 && c_ >= 'a' && c_ <= 'f')
            digit = static_cast<unsigned>(c_ - 'a' + 10);
        else if (base == 16 && c_ >= 'A' && c_ <= 'F')
            digit = static_cast<unsigned>(c_ - 'A' + 10);
        else
            return XmlReadSyntaxError;  // not a digit of the reference
        value = value * base + digit;
        anyDigit = true;
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
    }
    if (!anyDigit) return XmlReadSyntaxError;
    raw += static_cast<char>(value & 0xFFu);
    return XmlReadComplete;
}

bool DocumentReader::CallHandler() {
    if (!handler_) return true;
    // The path is never empty here: a start tag has just been appended.
    const std::string name = context_.path.back();
    return handler_(name, context_, userData_);
}

XmlReadResult DocumentReader::ReadElements() {
    if (Next() == kEnd) return XmlReadComplete;  // an empty document is valid
    for (;;) {
        context_.attributes.clear();
        context_.text.clear();
        if (c_ != '<') return XmlReadSyntaxError;
        Next();
        if (!SkipWhite() || c_ == kEnd) return XmlReadUnexpectedEnd;

        if (c_ == '?' || c_ == '!') {
            // Declarations, comments and doctypes: skipped up to the next "<".
            if (!SkipToTagOpen()) return XmlReadComplete;
            continue;
        }

        if (c_ == '/') {
            // The name in an end tag is not compared with the start tag.
            if (context_.path.empty()) return XmlReadUnmatchedEndTag;
            context_.PopPath();
            if (!SkipToTagOpen()) return XmlReadComplete;
            continue;
        }

        if (const XmlReadResult r = ReadStartTag(); r != XmlReadComplete) return r;
        if (c_ == '/') {
            // Self-closing; the ">" after the slash is not examined.
            if (!CallHandler()) return XmlReadStoppedByHandler;
            context_.PopPath();
            if (!SkipToTagOpen()) return XmlReadComplete;
            continue;
        }

        if (const XmlReadResult r = ReadText(); r != XmlReadComplete) return r;
        if (!CallHandler()) return XmlReadStoppedByHandler;
        // The element stays on the path until its end tag; c_ is "<".
    }
}

XmlReadResult DocumentReader::ReadStartTag() {
    if (context_.path.size() >= XmlMaxDepth) return XmlReadLimitExceeded;
    // The name runs up to white space, "/" or ">".
    std::string raw(1, static_cast<char>(c_));
    for (;;) {
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
        if (IsWhite(c_) || c_ == '/' || c_ == '>') break;
        if (raw.size() >= XmlMaxNameBytes) return XmlReadLimitExceeded;
        raw += static_cast<char>(c_);
    }
    context_.PushPath(DecodeFileText(raw));
    if (!SkipWhite()) return XmlReadUnexpectedEnd;
    while (c_ != '>' && c_ != '/') {
        if (context_.attributes.size() >= XmlMaxAttributes) return XmlReadLimitExceeded;
        if (const XmlReadResult r = ReadAttribute(); r != XmlReadComplete) return r;
    }
    return XmlReadComplete;
}

XmlReadResult DocumentReader::ReadAttribute() {
    std::string rawName;
    while (!IsWhite(c_) && c_ != '=') {
        if (rawName.size() >= XmlMaxNameBytes) return XmlReadLimitExceeded;
        rawName += static_cast<char>(c_);
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
    }
    if (!SkipWhite()) return XmlReadUnexpectedEnd;
    if (c_ != '=') return XmlReadSyntaxError;
    Next();
    if (c_ == kEnd || !SkipWhite()) return XmlReadUnexpectedEnd;
    if (c_ != '"' && c_ != '\'') return XmlReadSyntaxError;
    const int quote = c_;
    std::string rawValue;
    for (;;) {
        if (Next() == kEnd) return XmlReadUnexpectedEnd;
        if (c_ == quote) break;
        const XmlReadResult r = AppendCharacter(rawValue);
        if (r != XmlReadComplete) return r;
    }
    Next();
    if (c_ == kEnd || !SkipWhite()) return XmlReadUnexpectedEnd;
    // emplace keeps an existing value: the first occurrence wins.
    context_.attributes.emplace(DecodeFileText(rawName), DecodeFileText(rawValue));
    return XmlReadComplete;
}

XmlReadResult DocumentReader::ReadText() {
    // Called with c_ == '>'; leaves c_ on the "<" that ends the text.
    Next();
    if (c_ == '<') return XmlReadComplete;
    std::string rawText;
    while (c_ != '<') {
        if (c_ == kEnd) return XmlReadUnexpectedEnd;
        const XmlReadResult r = AppendCharacter(rawText);
        if (r != XmlReadComplete) return r;
        Next();
    }
    context_.text = DecodeFileText(rawText);
    return XmlReadComplete;
}

}  // namespace

const std::string& ElementContext::Attribute(const std::string& name) const {
    static const std::string empty;
    const auto it = attributes.find(name);
    return it == attributes.end() ? empty : it->second;
}

bool ElementContext::PathContains(std::string_view name) const {
    if (countedDepth_ != path.size())  // path filled by hand: search it
        return std::find(path.begin(), path.end(), name) != path.end();
    return pathNameCounts_.find(name) != pathNameCounts_.end();
}

void ElementContext::PushPath(std::string name) {
    ++pathNameCounts_[name];
    path.push_back(std::move(name));
    ++countedDepth_;
}

void ElementContext::PopPath() {
    const auto it = pathNameCounts_.find(path.back());
    if (--it->second == 0) pathNameCounts_.erase(it);
    path.pop_back();
    --countedDepth_;
}

XmlReadResult XmlReader(std::FILE* stream, const ElementHandler& handler, void* userData) {
    if (stream == nullptr) return XmlReadUnexpectedEnd;
    ByteSource source(stream);
    DocumentReader reader(source, handler, userData);
    return reader.Read();
}

XmlReadResult XmlReader(std::string_view document, const ElementHandler& handler, void* userData) {
    if (document.size() > XmlMaxDocumentBytes) return XmlReadLimitExceeded;
    ByteSource source(document);
    DocumentReader reader(source, handler, userData);
    return reader.Read();
}
