#include "persistence/XmlFile.h"
#include "persistence/XmlWriter.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlWriter, LaysOutNestedElementsWithTabs)
{
    EXPECT_EQ(XmlDocumentText([](XmlWriter& w) {
                  w.StartElement("Root");
                  w.WriteAttribute("Version", "2");
                  w.StartElement("Leaf");
                  w.WriteText("12");
                  w.EndElement();
                  w.StartElement("Empty");
                  w.WriteAttribute("Index", "0");
                  w.EndElement();
                  w.StartElement("B");
                  w.StartElement("C");
                  w.WriteText(""); // empty text still ends the start tag
                  w.EndElement();
                  w.EndElement();
                  w.EndElement();
              }),
              "<Root Version=\"2\">\n\t<Leaf>12</Leaf>\n\t<Empty Index=\"0\" />\n\t<B>\n\t\t<C></C>\n\t</B>\n</Root>\n");
    EXPECT_EQ(XmlDocumentText([](XmlWriter& w) {
                  w.StartElement("A");
                  w.WriteAttribute("Version", "3");
                  w.EndElement();
              }),
              "<A Version=\"3\" />\n");
}

TEST(XmlWriter, EscapesValuesAndTextButNotNames)
{
    EXPECT_EQ(XmlWriter::Escape("&amp;>"), "&amp;amp;&gt;");
    EXPECT_EQ(XmlDocumentText([](XmlWriter& w) {
                  w.StartElement("A&B");
                  w.WriteAttribute("n<", "a&<'\"");
                  w.WriteText("x>y");
                  w.EndElement();
              }),
              "<A&B n<=\"a&amp;&lt;&apos;&quot;\">x&gt;y</A&B>\n");
}

TEST(XmlWriter, RefusesMisplacedAttributesAndUnbalancedEnds)
{
    const std::string text = XmlDocumentText([](XmlWriter& w) {
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

} // namespace
