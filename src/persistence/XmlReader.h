// Streaming reader for the settings files.
//
// The reader accepts the subset of XML that XmlWriter produces, plus a few
// tolerances (declarations and comments are skipped, either quote character
// delimits attribute values, end tags are not compared with their start
// tags). It builds no tree: it calls a handler once per element, in document
// order, after the element's start tag and leading text and before any of
// its children. Every loop stops at the end of the input; nothing is read
// past it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// 0 = read to the end, 2 = the input ended inside a construct, 3 = syntax
// error, 4 = an end tag with no open element, 5 = the input exceeds one of
// the limits below, 7 = the handler returned false.
using XmlReadResult = int;
inline constexpr XmlReadResult XmlReadComplete = 0;
inline constexpr XmlReadResult XmlReadUnexpectedEnd = 2;
inline constexpr XmlReadResult XmlReadSyntaxError = 3;
inline constexpr XmlReadResult XmlReadUnmatchedEndTag = 4;
inline constexpr XmlReadResult XmlReadLimitExceeded = 5;
inline constexpr XmlReadResult XmlReadStoppedByHandler = 7;

// Limits that keep a hostile or corrupted file from costing more than a few
// megabytes: the settings files the tuner writes stay far below each of them.
// A document over XmlMaxDocumentBytes is refused before any element is
// reported; the other limits end the read where they are exceeded.
inline constexpr std::size_t XmlMaxDocumentBytes = 1024 * 1024;
inline constexpr std::size_t XmlMaxDepth = 64;
inline constexpr std::size_t XmlMaxNameBytes = 256;
inline constexpr std::size_t XmlMaxTextBytes = 4096;
inline constexpr std::size_t XmlMaxAttributes = 64;

// What the handler learns about the current element. Lives only for the call:
// a handler copies what it keeps. All texts are UTF-8.
struct ElementContext {
    // Names of the open elements from the root down to the current one.
    std::vector<std::string> path;
    // When a tag repeats an attribute name, the first value wins.
    std::map<std::string, std::string> attributes;
    // Character data between the end of the start tag and the next "<",
    // entity-decoded, untrimmed; empty for self-closing elements.
    std::string text;

    // The value of an attribute; a missing attribute reads as empty text.
    const std::string& Attribute(const std::string& name) const;
    // Whether some element of the path (the current one included) is named so.
    // Constant in the depth of the path, so deeply nested input stays cheap.
    bool PathContains(std::string_view name) const;

    // Path changes go through these so the name counts stay in step.
    void PushPath(std::string name);
    void PopPath();

private:
    // How often each name occurs on the path (names with count 0 removed),
    // valid while the path was only changed by PushPath and PopPath.
    std::map<std::string, int, std::less<>> pathNameCounts_;
    std::size_t countedDepth_ = 0;
};

// (current element's name, context, user data) -> true to continue reading.
using ElementHandler =
    std::function<bool(const std::string& name, const ElementContext& context, void* userData)>;

// Reads one document from a stream the caller opened (and closes). An empty
// handler only checks the document.
XmlReadResult XmlReader(std::FILE* stream, const ElementHandler& handler, void* userData);
// Reads one document held in memory (used by tests and the fuzzers).
XmlReadResult XmlReader(std::string_view document, const ElementHandler& handler, void* userData);
