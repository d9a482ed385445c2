#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "content/xml_element.h"
#include "tests/support/decimal_comma_locale.h"

namespace {

class XmlElementFile : public ::testing::Test {
protected:
    std::filesystem::path write(const std::string& text) {
        path_ = std::filesystem::temp_directory_path() /
                ("murmur_xml_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 ".xml");
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }
    void TearDown() override {
        if (!path_.empty()) std::filesystem::remove(path_);
    }
    std::filesystem::path path_;
};

TEST_F(XmlElementFile, LoadsTheFirstElementAfterDeclarationAndComment) {
    const auto path = write(
        "<?xml version=\"1.0\"?>\n<!-- material -->\n"
        "<material name=\"steel\" shine=\"0.5\">\n"
        "  <texture file=\"a.png\"/>\n  <!-- note -->\n  <texture file=\"b.png\">text</texture>\n"
        "  <params><p v=\"1\"/></params>\n"
        "</material>\n<second/>\n");
    const auto root = XmlElement::load(path.string());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->name, "material");
    EXPECT_EQ(root->attributes.size(), 2u);
    EXPECT_EQ(root->attribute("name"), "steel");
    ASSERT_EQ(root->children.size(), 3u);
    EXPECT_EQ(root->children[0]->attribute("file"), "a.png");
    EXPECT_EQ(root->children[1]->attribute("file"), "b.png");
    EXPECT_EQ(root->children[1]->text, "text");
    EXPECT_EQ(root->children[2]->name, "params");
    ASSERT_EQ(root->children[2]->children.size(), 1u);
    EXPECT_EQ(root->children[2]->children[0]->attributeFloat("v"), 1.0f);
}

TEST_F(XmlElementFile, MissingOrMalformedFilesGiveNull) {
    EXPECT_EQ(XmlElement::load("/nonexistent/murmur/font.xml"), nullptr);
    EXPECT_EQ(XmlElement::load(std::filesystem::temp_directory_path().string()), nullptr);
    EXPECT_EQ(XmlElement::load(write("<a><b></a>").string()), nullptr);
    EXPECT_EQ(XmlElement::load(write("").string()), nullptr);
    EXPECT_EQ(XmlElement::load(write("<!-- only a comment -->").string()), nullptr);
}

TEST(XmlElement, TextComesOnlyFromALeadingTextNode) {
    const auto root = XmlElement::parse("<r><a>abc<child/></a><b><!-- c -->abc</b><c><d/>abc</c></r>");
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->children.size(), 3u);
    EXPECT_EQ(root->children[0]->text, "abc");
    EXPECT_EQ(root->children[0]->children.size(), 1u);
    EXPECT_EQ(root->children[1]->text, "");
    EXPECT_EQ(root->children[2]->text, "");
    EXPECT_EQ(root->text, "");
}

TEST(XmlElement, AbsentAttributeReadsEmptyAndIsRecorded) {
    const auto root = XmlElement::parse("<font size=\"32\"/>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->attribute("face"), "");
    EXPECT_EQ(root->attribute("face"), "");
    EXPECT_EQ(root->attributes.size(), 2u);
    EXPECT_EQ(root->attributes.at("face"), "");
    EXPECT_EQ(root->attribute("size"), "32");
}

TEST(XmlElement, AttributeFloatParsesLeadingNumbersAndOtherwiseGivesZero) {
    auto root = XmlElement::parse("<m a=\"0.25\" b=\"abc\" c=\" -1.5e2xyz\" d=\"\" e=\"7\"/>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->attributeFloat("a"), 0.25f);
    EXPECT_EQ(root->attributeFloat("b"), 0.0f);
    EXPECT_EQ(root->attributeFloat("c"), -150.0f);
    EXPECT_EQ(root->attributeFloat("d"), 0.0f);
    EXPECT_EQ(root->attributeFloat("e"), 7.0f);
    EXPECT_EQ(root->attributeFloat("missing"), 0.0f);
}

TEST(XmlElement, AttributeFloatUsesAPointWhateverTheLocale) {
    murmur::test::DecimalCommaScope comma;
    ASSERT_TRUE(comma.active()) << murmur::test::decimalCommaLocaleFailure();
    auto root = XmlElement::parse("<m a=\"0.25\" b=\"-1.5e2\"/>");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->attributeFloat("a"), 0.25f);
    EXPECT_EQ(root->attributeFloat("b"), -150.0f);
}

}  // namespace
