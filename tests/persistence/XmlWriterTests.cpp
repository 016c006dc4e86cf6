#include "persistence/XmlFile.h"
#include "persistence/XmlWriter.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
}

// A NUL cannot stand in an XML document at all (not even as &#0;), and a
// name is cut there by every C string: it is dropped from values and texts.
TEST(XmlWriter, DropsNulFromValuesAndTexts) {
    using namespace std::string_literals;
    const std::string text = XmlDocumentText([](XmlWriter& w) {
        w.StartElement("A");
        w.WriteAttribute("Name", "a\0b&\0"s);
        w.WriteText("\0x\0"s);
        w.EndElement();
    });
    EXPECT_EQ(text, "<A Name=\"ab&amp;\">x</A>\n");
}

TEST(XmlWriter, OpenReportsUncreatableFilesAndRefusesASecondOne) {
    TempDirectory dir;
    XmlWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("missing-dir/file.xml")));
    ASSERT_TRUE(writer.Open(dir.File("a.xml")));
    EXPECT_FALSE(writer.Open(dir.File("b.xml")));
    EXPECT_TRUE(writer.Close());
    EXPECT_FALSE(std::filesystem::exists(dir / "b.xml"));
}

}  // namespace
