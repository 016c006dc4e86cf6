#include "persistence/XmlReader.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

struct Call {
    std::string name;
    std::vector<std::string> path;
    std::map<std::string, std::string> attributes;
    std::string text;
};

struct Recorded {
    XmlReadResult result = -1;
    std::vector<Call> calls;
};

Recorded Read(std::string_view document, int stopAfter = -1)
{
    Recorded r;
    r.result = XmlReader(
        document,
        [&](const std::string& name, const ElementContext& c, void* userData) {
            EXPECT_EQ(userData, &r);
            r.calls.push_back({name, c.path, c.attributes, c.text});
            return static_cast<int>(r.calls.size()) != stopAfter;
        },
        &r);
    return r;
}

using Path = std::vector<std::string>;

TEST(XmlReader, SelfClosingElementWithBothQuoteKinds)
{
    const Recorded r = Read("<A x='1' y=\"2\"/>");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].name, "A");
    EXPECT_EQ(r.calls[0].path, Path({"A"}));
    EXPECT_EQ(r.calls[0].attributes, (std::map<std::string, std::string>{{"x", "1"}, {"y", "2"}}));
    EXPECT_EQ(r.calls[0].text, "");
}

TEST(XmlReader, CallsOncePerElementBeforeItsChildren)
{
    const Recorded r = Read("<A><B>t &amp; u</B><C a = \"v\" >x<D/></C></A>");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 4u);
    EXPECT_EQ(r.calls[0].name, "A");
    EXPECT_EQ(r.calls[0].text, "");
    EXPECT_EQ(r.calls[0].path, Path({"A"}));
    EXPECT_EQ(r.calls[1].name, "B");
    EXPECT_EQ(r.calls[1].text, "t & u");
    EXPECT_EQ(r.calls[1].path, Path({"A", "B"}));
    EXPECT_EQ(r.calls[2].name, "C");
    EXPECT_EQ(r.calls[2].text, "x");
    EXPECT_EQ(r.calls[2].attributes.at("a"), "v");
    EXPECT_EQ(r.calls[3].path, Path({"A", "C", "D"}));
}

TEST(XmlReader, KeepsTextUntrimmedAndFirstAttributeValue)
{
    const Recorded r = Read("<A n=\"first\" n=\"second\">\n\t x \n</A>");
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].attributes.at("n"), "first");
    EXPECT_EQ(r.calls[0].text, "\n\t x \n");
}

TEST(XmlReader, EndTagNamesAreNotCompared)
{
    const Recorded r = Read("<A><B></Wrong><C/></A>");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 3u);
    EXPECT_EQ(r.calls[2].path, Path({"A", "C"}));
}

TEST(XmlReader, SkipsDeclarationsAndComments)
{
    const Recorded r = Read("<?xml version=\"1.0\"?>\n<!-- note -->\n<A/>");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 1u);
    // A "<" inside a comment ends the skip: "< b --><A/>" is then read as
    // the start tag "b" whose attribute name runs to the end of the input.
    const Recorded cut = Read("<!-- a < b --><A/>");
    EXPECT_EQ(cut.result, XmlReadUnexpectedEnd);
    EXPECT_TRUE(cut.calls.empty());
}

TEST(XmlReader, EntitiesAreKnownByTheirFirstLetters)
{
    const Recorded r = Read("<A v=\"&lt;&gt;&quot;&apos;&amp;&lxyz;&#65;&#x42;&#x4a;\">&#321;</A>");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].attributes.at("v"), "<>\"'&<ABJ");
    // 321 = 0x141: only the low byte 0x41 remains.
    EXPECT_EQ(r.calls[0].text, "A");
}

TEST(XmlReader, ResultCodesOfDamagedDocuments)
{
    struct Case {
        const char* document;
        XmlReadResult expected;
    };
    const Case cases[] = {
        {"", XmlReadComplete},
        {" <A/>", XmlReadSyntaxError},          // leading white space
        {"\xEF\xBB\xBF<A/>", XmlReadSyntaxError}, // byte-order mark
        {"<A x=1>", XmlReadSyntaxError},
        {"<A x \"1\">", XmlReadSyntaxError},
        {"<A x=\"1\"", XmlReadUnexpectedEnd},
        {"<A x=\"1", XmlReadUnexpectedEnd},
        {"<A", XmlReadUnexpectedEnd},
        {"<", XmlReadUnexpectedEnd},
        {"< \n", XmlReadUnexpectedEnd},
        {"<A>", XmlReadUnexpectedEnd},
        {"<A>text", XmlReadUnexpectedEnd},
        {"<A>x &lt", XmlReadUnexpectedEnd},
        {"<A>x &", XmlReadUnexpectedEnd},
        {"<A>x &#12", XmlReadUnexpectedEnd},
        {"<A>x &b;</A>", XmlReadSyntaxError},
        {"<A>x &ax;</A>", XmlReadSyntaxError},
        {"<A>x &#1z;</A>", XmlReadSyntaxError},
        {"<A>x &#;</A>", XmlReadSyntaxError},
        {"</A>", XmlReadUnmatchedEndTag},
        {"<A/></A>", XmlReadUnmatchedEndTag},
        {"<A/>junk", XmlReadComplete},  // skipped up to a "<" that never comes
        {"<A/> x <B/>", XmlReadComplete},
        {"<A><B/>", XmlReadComplete},   // open elements at the end are fine
        {"<A></A>x", XmlReadComplete},
        {"<!-- unterminated", XmlReadComplete},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.document).result, c.expected) << "document: " << c.document;
}

TEST(XmlReader, SyntaxErrorsBeforeAnyElementCallNothing)
{
    EXPECT_TRUE(Read(" <A/>").calls.empty());
    EXPECT_TRUE(Read("\xEF\xBB\xBF<A/>").calls.empty());
}

TEST(XmlReader, WorkDoneBeforeAnErrorIsReported)
{
    const Recorded r = Read("<A><B/><C x=1/></A>");
    EXPECT_EQ(r.result, XmlReadSyntaxError);
    ASSERT_EQ(r.calls.size(), 2u);
    EXPECT_EQ(r.calls[1].name, "B");
}

TEST(XmlReader, HandlerCanStopTheRead)
{
    const Recorded r = Read("<A><B/><C/></A>", 1);
    EXPECT_EQ(r.result, XmlReadStoppedByHandler);
    EXPECT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(Read("<A><B/><C/></A>", 2).calls.size(), 2u);
}

TEST(XmlReader, ReadsUtf8AndTakesStrayBytesAsWindows1252)
{
    // "Größe" in UTF-8, then "Café" as an older Windows version wrote it.
    const Recorded r = Read("<A n=\"Gr\xC3\xB6\xC3\x9F" "e\">Caf\xE9 \x80</A>");
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].attributes.at("n"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(r.calls[0].text, "Caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(XmlReader, NumericReferencesAreBytesOfTheFile)
{
    // Two references forming one UTF-8 sequence, and one lone Latin byte.
    const Recorded r = Read("<A>&#195;&#169;|&#233;</A>");
    ASSERT_EQ(r.calls.size(), 1u);
    EXPECT_EQ(r.calls[0].text, "\xC3\xA9|\xC3\xA9");
}

TEST(XmlReader, WindowsLineEndsReadLikeLineFeeds)
{
    const Recorded r = Read("<A>\r\n\t<B>x\r\ny</B>\r\n</A>\r\n");
    EXPECT_EQ(r.result, XmlReadComplete);
    ASSERT_EQ(r.calls.size(), 2u);
    EXPECT_EQ(r.calls[0].text, "\n\t");
    EXPECT_EQ(r.calls[1].text, "x\ny");
    // A carriage return on its own is kept.
    EXPECT_EQ(Read("<A>x\ry</A>").calls.at(0).text, "x\ry");
}

TEST(XmlReader, ReadsFromAStreamWithoutAHandler)
{
    TempDirectory dir;
    WriteWholeFile(dir / "a.xml", "<A><B>t</B></A>\n");
    std::FILE* f = std::fopen((dir / "a.xml").c_str(), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(XmlReader(f, nullptr, nullptr), XmlReadComplete);
    std::fclose(f);

    WriteWholeFile(dir / "b.xml", "<A><B>t</B");
    f = std::fopen((dir / "b.xml").c_str(), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(XmlReader(f, nullptr, nullptr), XmlReadComplete); // ends inside an end tag's skip
    std::fclose(f);
}

} // namespace

namespace {

TEST(XmlReader, PathKnowsItsNamesAtAnyDepth)
{
    std::string document;
    for (int i = 0; i < 20000; ++i)
        document += i == 10 ? "<System>" : "<Deep>";
    document += "<Leaf/>";
    for (int i = 0; i < 20000; ++i)
        document += "</Deep>";
    document += "<Other/>";
    std::vector<bool> inSystem;
    EXPECT_EQ(XmlReader(
                  document,
                  [&](const std::string& name, const ElementContext& c, void*) {
                      if (name == "Leaf" || name == "Other")
                          inSystem.push_back(c.PathContains("System"));
                      return true;
                  },
                  nullptr),
              XmlReadComplete);
    // Inside System at depth 20001, and no longer once everything closed.
    EXPECT_EQ(inSystem, (std::vector<bool>{true, false}));

    ElementContext byHand;
    byHand.path = {"A", "System", "B"};
    EXPECT_TRUE(byHand.PathContains("System"));
    EXPECT_FALSE(byHand.PathContains("Graphics"));
}

} // namespace
