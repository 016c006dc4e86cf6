#include "persistence/XmlWriter.h"

XmlWriter::XmlWriter(std::FILE* stream) : file_(stream) {}

XmlWriter::XmlWriter(std::string& output) : memory_(&output) {}

bool XmlWriter::Close() {
    if (memory_ != nullptr) {
        memory_ = nullptr;
        return true;
    }
    if (file_ == nullptr) return false;
    const bool ok = std::fflush(file_) == 0 && std::ferror(file_) == 0;
    file_ = nullptr;
    return ok;
}

void XmlWriter::Write(std::string_view bytes) {
    // Without a stream the document is discarded; the callers check Open.
    if (memory_ != nullptr)
        memory_->append(bytes);
    else if (file_ != nullptr && !bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
}

void XmlWriter::WriteTabs(std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Write("\t");
}

std::string XmlWriter::Escape(std::string_view text) {
    // One pass gives the same result as replacing "&" first and the other
    // four characters afterwards: no replacement creates a character that a
    // later replacement would touch again except "&", which is done first.
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\'': out += "&apos;"; break;
            case '"': out += "&quot;"; break;
            // XML has no way to hold a NUL, not even as a character
            // reference, and every C string cuts a name there: dropped.
            case '\0': break;
            default: out += c; break;
        }
    }
    return out;
}

bool XmlWriter::StartElement(std::string_view name) {
    if (InStartTag()) Write(">\n");
    WriteTabs(openElements_.size());
    Write("<");
    Write(name);
    openElements_.emplace_back(name);
    state_ = State::InStartTag;
    return true;
}

bool XmlWriter::WriteAttribute(std::string_view name, std::string_view value) {
    if (name.empty() || !InStartTag()) return false;
    Write(" ");
    Write(name);
    Write("=\"");
    Write(Escape(value));
    Write("\"");
    state_ = State::InStartTagAfterAttribute;
    return true;
}

bool XmlWriter::WriteText(std::string_view text) {
    if (InStartTag()) Write(">");
    if (!text.empty()) Write(Escape(text));
    state_ = State::AfterText;
    return true;
}

bool XmlWriter::EndElement() {
    if (openElements_.empty()) return false;
    if (state_ == State::AfterEndTag) WriteTabs(openElements_.size() - 1);
    if (InStartTag()) {
        Write(" />\n");
    } else {
        Write("</");
        Write(openElements_.back());
        Write(">\n");
    }
    openElements_.pop_back();
    state_ = State::AfterEndTag;
    return true;
}
