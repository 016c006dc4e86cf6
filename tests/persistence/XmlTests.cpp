// The XML reader and writer under the settings files, and the text and
// number conversions they share.
#include "persistence/FileTextEncoding.h"
#include "persistence/NumberText.h"
#include "persistence/XmlFile.h"
#include "persistence/XmlReader.h"
#include "persistence/XmlWriter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// Each handler call as one line: "Root/Child{name=value,...}text".
struct Recorded {
    XmlReadResult result = -1;
    Strings calls;
};

Recorded Read(std::string_view document, int stopAfter = -1) {
    Recorded r;
    r.result = XmlReader(
        document,
        [&](const std::string& name, const ElementContext& c, void* userData) {
            EXPECT_EQ(userData, &r);
            EXPECT_EQ(name, c.path.back());
            std::string line, separator;
            for (const std::string& element : c.path) line += std::exchange(separator, "/") + element;
            separator = "";
            line += "{";
            for (const auto& [key, value] : c.attributes)
                line += std::exchange(separator, ",") + key + "=" + value;
            r.calls.push_back(line + "}" + c.text);
            return static_cast<int>(r.calls.size()) != stopAfter;
        },
        &r);
    return r;
}

// Declarations and comments are skipped, either quote delimits values, the
// first of two equal attribute names wins, text stays untrimmed and end tag
// names are not compared with their start tags.
TEST(XmlReader, CallsOncePerElementBeforeItsChildren) {
    const Recorded r = Read(
        "<?xml version=\"1.0\"?>\n<!-- note -->\n<A x='1' y=\"2\" x=\"3\">\n\t x \n"
        "<B>t &amp; u</Wrong><C a = \"v\" >x<D/></C></A>");
    EXPECT_EQ(r.result, XmlReadComplete);
    EXPECT_EQ(r.calls, (Strings{"A{x=1,y=2}\n\t x \n", "A/B{}t & u", "A/C{a=v}x", "A/C/D{}"}));
    const Recorded stopped = Read("<A><B/><C/></A>", 1);  // the handler can stop the read
    EXPECT_EQ(stopped.result, XmlReadStoppedByHandler);
    EXPECT_EQ(stopped.calls.size(), 1u);
    // Windows line ends read like line feeds; a lone carriage return is kept.
    EXPECT_EQ(Read("<A>\r\n\t<B>x\r\ny</B>\r\n</A>\r\n").calls, (Strings{"A{}\n\t", "A/B{}x\ny"}));
    EXPECT_EQ(Read("<A>x\ry</A>").calls, Strings{"A{}x\ry"});
    // Entities are known by their first letters; numeric references are bytes of
    // the file (two may form one UTF-8 sequence; 321 = 0x141 keeps only 0x41),
    // decoded like the rest of the text (FileTextEncoding below; a Windows-1252
    // name read from a list file: PresetFile.ReadsEntriesWhereverTheyStand).
    EXPECT_EQ(
        Read("<A v=\"&lt;&gt;&quot;&apos;&amp;&lxyz;&#65;&#x42;&#x4a;\">&#321;&#195;&#169;|&#233;</A>").calls,
        Strings{"A{v=<>\"'&<ABJ}A\xC3\xA9|\xC3\xA9"});
}

// Leading white space and a byte-order mark are errors; documents cut off
// inside any construct end unexpectedly. A "<" inside a comment ends the
// skip: "< b -->..." is then a start tag whose attribute name runs to the
// end. Junk after the root is skipped up to a "<" that may never come, and
// elements still open at the end are fine.
TEST(XmlReader, ResultCodesOfDamagedDocuments) {
    const struct {
        XmlReadResult expected;
        std::size_t calls;  // handler calls made before the reader stopped
        std::vector<const char*> documents;
    } cases[] = {
        {XmlReadComplete, 0, {"", "<!-- unterminated"}},
        {XmlReadSyntaxError,
         0,
         {" <A/>", "\xEF\xBB\xBF<A/>", "<A x=1>", "<A x \"1\">", "<A>x &b;</A>", "<A>x &ax;</A>",
          "<A>x &#1z;</A>", "<A>x &#;</A>"}},
        {XmlReadSyntaxError, 2, {"<A><B/><C x=1/></A>"}},
        {XmlReadUnexpectedEnd,
         0,
         {"<A x=\"1\"", "<A x=\"1", "<A", "<", "< \n", "<A>", "<A>text", "<A>x &lt", "<A>x &", "<A>x &#12",
          "<!-- a < b --><A/>"}},
        {XmlReadUnmatchedEndTag, 0, {"</A>"}},
        {XmlReadUnmatchedEndTag, 1, {"<A/></A>"}},
        {XmlReadComplete, 1, {"<A/>junk", "<A></A>x"}},
        {XmlReadComplete, 2, {"<A/> x <B/>", "<A><B/>"}},
    };
    for (const auto& c : cases) {
        for (const char* document : c.documents) {
            const Recorded r = Read(document);
            EXPECT_EQ(r.result, c.expected) << document;
            EXPECT_EQ(r.calls.size(), c.calls) << document;
        }
    }
}

// Each limit: the largest input within it reads completely, one byte or
// level more ends the read with XmlReadLimitExceeded.
TEST(XmlReader, LimitsEndTheReadWhereTheyAreExceeded) {
    const auto nested = [](std::size_t depth) {
        std::string d;
        for (std::size_t i = 0; i < depth; ++i) d += "<A>";
        for (std::size_t i = 0; i < depth; ++i) d += "</A>";
        return d;
    };
    const auto attributes = [](std::size_t count) {
        std::string d = "<A";
        for (std::size_t i = 0; i < count; ++i) d += " a" + std::to_string(i) + "=\"\"";
        return d + "/>";
    };
    const struct {
        const char* what;
        std::string document;
        XmlReadResult result;
    } cases[] = {
        {"depth", nested(XmlMaxDepth), XmlReadComplete},
        {"depth + 1", nested(XmlMaxDepth + 1), XmlReadLimitExceeded},
        {"element name", "<" + std::string(XmlMaxNameBytes, 'n') + "/>", XmlReadComplete},
        {"element name + 1", "<" + std::string(XmlMaxNameBytes + 1, 'n') + "/>", XmlReadLimitExceeded},
        {"attribute name + 1", "<A " + std::string(XmlMaxNameBytes + 1, 'n') + "=\"1\"/>",
         XmlReadLimitExceeded},
        {"attribute value", "<A v=\"" + std::string(XmlMaxTextBytes, 'v') + "\"/>", XmlReadComplete},
        {"attribute value + 1", "<A v=\"" + std::string(XmlMaxTextBytes + 1, 'v') + "\"/>",
         XmlReadLimitExceeded},
        {"text", "<A>" + std::string(XmlMaxTextBytes, 't') + "</A>", XmlReadComplete},
        {"text + 1", "<A>" + std::string(XmlMaxTextBytes + 1, 't') + "</A>", XmlReadLimitExceeded},
        {"attributes", attributes(XmlMaxAttributes), XmlReadComplete},
        {"attributes + 1", attributes(XmlMaxAttributes + 1), XmlReadLimitExceeded},
        {"document + 1", "<A>" + std::string(XmlMaxDocumentBytes, ' '), XmlReadLimitExceeded},
    };
    for (const auto& c : cases) {
        int calls = 0;
        const auto count = [&](const std::string&, const ElementContext&, void*) { return ++calls > 0; };
        EXPECT_EQ(XmlReader(c.document, count, nullptr), c.result) << c.what;
        // An element or document over a limit is refused before it is reported
        // (the levels above one nested too deep have been reported already).
        if (!std::string_view(c.what).starts_with("depth")) {
            EXPECT_EQ(calls > 0, c.result == XmlReadComplete) << c.what;
        }
    }
}

// The layout of whole documents is pinned by the settings files' own
// byte-exact checks; here escaping and what the writer must refuse.
TEST(XmlWriter, RefusesMisplacedAttributesAndUnbalancedEnds) {
    const std::string text = XmlDocumentText([](XmlWriter& w) {
        EXPECT_FALSE(w.EndElement());
        EXPECT_FALSE(w.WriteAttribute("Early", "1"));  // no start tag yet
        w.StartElement("A&B");                         // names are written as they are
        EXPECT_TRUE(w.WriteAttribute("n", "a&<>'\""));
        EXPECT_FALSE(w.WriteAttribute("", "1"));
        w.StartElement("B");
        w.EndElement();
        EXPECT_FALSE(w.WriteAttribute("AfterEnd", "1"));
        w.StartElement("C");
        w.WriteText("x>y");
        EXPECT_FALSE(w.WriteAttribute("AfterText", "1"));
        EXPECT_TRUE(w.EndElement());
        EXPECT_TRUE(w.EndElement());
        EXPECT_FALSE(w.EndElement());
        EXPECT_EQ(w.Depth(), 0u);
    });
    EXPECT_EQ(text, "<A&B n=\"a&amp;&lt;&gt;&apos;&quot;\">\n\t<B />\n\t<C>x&gt;y</C>\n</A&B>\n");
    // A NUL cannot stand in an XML document at all (not even as &#0;), and a
    // name is cut there by every C string: it is dropped from values and texts.
    using namespace std::string_literals;
    EXPECT_EQ(XmlDocumentText([](XmlWriter& w) {
                  w.StartElement("A");
                  w.WriteAttribute("Name", "a\0b&\0"s);
                  w.WriteText("\0x\0"s);
                  w.EndElement();
              }),
              "<A Name=\"ab&amp;\">x</A>\n");
}

TEST(FileTextEncoding, KeepsValidUtf8AndTakesInvalidBytesAsWindows1252) {
    const std::pair<const char*, const char*> cases[] = {
        {"A \xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E", "A \xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E"},
        {"\xE9", "\xC3\xA9"},
        {"\x80", "\xE2\x82\xAC"},
        {"\x81", "\xC2\x81"},                              // undefined: C1 control
        {"\xC3", "\xC3\x83"},                              // cut-off sequence
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // surrogate
        {"\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},              // mixed
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(DecodeFileText(bytes), expected) << bytes;
}

TEST(NumberText, IntegersLikeStrtolSaturating) {
    const std::pair<const char*, int> cases[] = {{"\t-12x", -12},
                                                 {"+7", 7},
                                                 {"", 0},
                                                 {"3.9", 3},
                                                 {"99999999999", std::numeric_limits<int>::max()},
                                                 {"-99999999999", std::numeric_limits<int>::min()}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(TextToInt(text), expected) << text;
    EXPECT_EQ(IntToText(std::numeric_limits<int>::min()), "-2147483648");
}

TEST(NumberText, DoublesIgnoreTheProcessLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    // A comma-decimal locale, when the machine has one, must change nothing.
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_DOUBLE_EQ(TextToDouble(" 442.5"), 442.5);
    EXPECT_EQ(FloatToText(0.05f), "0.050000");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
