#include "persistence/XmlFile.h"
#include "persistence/XmlReader.h"
#include "persistence/XmlWriter.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

std::string Document(const std::function<void(XmlWriter&)>& write) { return XmlDocumentText(write); }

TEST(XmlWriter, LaysOutChildrenTextAndEmptyElements)
{
    const std::string text = Document([](XmlWriter& w) {
        w.StartElement("Root");
        w.WriteAttribute("Version", "2");
        w.StartElement("Leaf");
        w.WriteText("12");
        w.EndElement();
        w.StartElement("Leaf");
        w.WriteText("7");
        w.EndElement();
        w.StartElement("Empty");
        w.WriteAttribute("Index", "0");
        w.EndElement();
        w.EndElement();
    });
    EXPECT_EQ(text,
              "<Root Version=\"2\">\n"
              "\t<Leaf>12</Leaf>\n"
              "\t<Leaf>7</Leaf>\n"
              "\t<Empty Index=\"0\" />\n"
              "</Root>\n");
}

TEST(XmlWriter, SelfClosingRootAndEmptyText)
{
    EXPECT_EQ(Document([](XmlWriter& w) {
                  w.StartElement("A");
                  w.WriteAttribute("Version", "3");
                  w.EndElement();
              }),
              "<A Version=\"3\" />\n");
    // WriteText with empty text still ends the start tag.
    EXPECT_EQ(Document([](XmlWriter& w) {
                  w.StartElement("Preset");
                  w.WriteAttribute("Name", "x");
                  w.WriteText("");
                  w.EndElement();
              }),
              "<Preset Name=\"x\"></Preset>\n");
}

TEST(XmlWriter, NestedEndTagsLineUpWithTheirStartTags)
{
    EXPECT_EQ(Document([](XmlWriter& w) {
                  w.StartElement("A");
                  w.StartElement("B");
                  w.StartElement("C");
                  w.WriteText("t");
                  w.EndElement();
                  w.EndElement();
                  w.EndElement();
              }),
              "<A>\n\t<B>\n\t\t<C>t</C>\n\t</B>\n</A>\n");
}

TEST(XmlWriter, EscapesValuesAndTextButNotNames)
{
    EXPECT_EQ(XmlWriter::Escape("a&<'\""), "a&amp;&lt;&apos;&quot;");
    EXPECT_EQ(XmlWriter::Escape("&amp;>"), "&amp;amp;&gt;");
    EXPECT_EQ(Document([](XmlWriter& w) {
                  w.StartElement("A&B");
                  w.WriteAttribute("n<", "a&<'\"");
                  w.WriteText("x>y");
                  w.EndElement();
              }),
              "<A&B n<=\"a&amp;&lt;&apos;&quot;\">x&gt;y</A&B>\n");
}

TEST(XmlWriter, RefusesMisplacedAttributesAndUnbalancedEnds)
{
    const std::string text = Document([](XmlWriter& w) {
        EXPECT_FALSE(w.EndElement());
        EXPECT_FALSE(w.WriteAttribute("Early", "1")); // no start tag yet
        w.StartElement("A");
        EXPECT_FALSE(w.WriteAttribute("", "1"));
        w.StartElement("B");
        w.EndElement();
        EXPECT_FALSE(w.WriteAttribute("AfterEnd", "1"));
        w.StartElement("C");
        w.WriteText("t");
        EXPECT_FALSE(w.WriteAttribute("AfterText", "1"));
        EXPECT_TRUE(w.EndElement());
        EXPECT_TRUE(w.EndElement());
        EXPECT_FALSE(w.EndElement());
        EXPECT_EQ(w.Depth(), 0u);
    });
    EXPECT_EQ(text, "<A>\n\t<B />\n\t<C>t</C>\n</A>\n");
}

TEST(XmlWriter, OpenRefusesSecondFileAndReportsUncreatableOnes)
{
    TempDirectory dir;
    XmlWriter writer;
    EXPECT_FALSE(writer.Open((dir / "missing-dir/file.xml").string()));
    ASSERT_TRUE(writer.Open((dir / "a.xml").string()));
    EXPECT_FALSE(writer.Open((dir / "b.xml").string()));
    writer.StartElement("A");
    writer.EndElement();
    EXPECT_TRUE(writer.Close());
    EXPECT_EQ(ReadWholeFile(dir / "a.xml"), "<A />\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "b.xml"));
}

// Whatever the writer produces reads back with the same names, attribute
// values and leaf texts, awkward characters included.
TEST(XmlWriter, WrittenDocumentsReadBack)
{
    const std::vector<std::string> values = {"", "plain", "a & b", "<tag>", "'quoted' \"twice\"",
                                             "&amp; literally", "tab\tand  spaces ", "Größe €5"};
    const std::string text = Document([&](XmlWriter& w) {
        w.StartElement("Root");
        for (const std::string& v : values) {
            w.StartElement("Item");
            w.WriteAttribute("Value", v);
            w.WriteText(v);
            w.EndElement();
        }
        w.EndElement();
    });
    std::vector<std::pair<std::string, std::string>> seen;
    const XmlReadResult result = XmlReader(
        text,
        [&](const std::string& name, const ElementContext& c, void*) {
            if (name == "Item")
                seen.emplace_back(c.Attribute("Value"), c.text);
            return true;
        },
        nullptr);
    EXPECT_EQ(result, XmlReadComplete);
    ASSERT_EQ(seen.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(seen[i].first, values[i]);
        EXPECT_EQ(seen[i].second, values[i]);
    }
}

} // namespace
