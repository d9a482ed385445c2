#include "content/material.h"
#include "image_files.h"
#include "tests/support/decimal_comma_locale.h"

#include <gtest/gtest.h>


namespace {

std::unique_ptr<Material> parse(const std::string& xml) {
    auto root = XmlElement::parse(xml);
    EXPECT_TRUE(root) << xml;
    return root ? parseMaterial(*root) : nullptr;
}

TEST(Material, NameAloneGivesEveryDefault) {
    auto m = parse(R"(<Mat Name="steel"/>)");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "steel");
    EXPECT_EQ(m->diffuseColor[0], 0.6f);
    EXPECT_EQ(m->diffuseColor[2], 0.6f);
    EXPECT_EQ(m->opacity, 1.0f);
    EXPECT_EQ(m->specularColor[1], 1.0f);
    EXPECT_EQ(m->glossiness, 0.3f);
    EXPECT_EQ(m->specularLevel, 1.0f);
    EXPECT_EQ(m->reflection, 0.0f);
    EXPECT_TRUE(m->diffuseMapName.empty());
    EXPECT_EQ(m->diffuseMap, nullptr);
}

TEST(Material, ParamsAndTextureEntries) {
    auto m = parse(R"(<?xml version="1.0"?>
<!-- exported -->
<Anything Name="glow_lamp">
  <Param Type="Diffuse" Value=" 0.1; 0.2;0.3"/>
  <Param Type="Opacity" Value="0.5"/>
  <Param Type="Opacity" Value="0.25"/>
  <Param Type="diffuse" Value="9;9;9"/>
  <Param Type="Specular" Value="1;2"/>
  <Param Type="Glossiness" Value="abc"/>
  <Param Type="SpecularLevel" Value="2.5"/>
  <Other Type="Diffuse" Value="7;7;7"/>
  <Textures>
    <Texture Type="Diffuse" File="D:\work\maps\brick_d.jpg"/>
    <Whatever Type="Bump" File="maps/brick_n.png"/>
    <T Type="Lightmap" File="MESHLightingMap.tga"/>
    <T Type="Opacity"/>
    <T Type="Environment" File="sky.png" Reflection="0.75"/>
    <T Type="Unknown" File="x.png"/>
  </Textures>
</Anything>)");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->name, "glow_lamp");
    EXPECT_FLOAT_EQ(m->diffuseColor[0], 0.1f);
    EXPECT_FLOAT_EQ(m->diffuseColor[1], 0.2f);
    EXPECT_FLOAT_EQ(m->diffuseColor[2], 0.3f);
    EXPECT_EQ(m->opacity, 0.25f);
    // A colour with two numbers and a scalar that does not scan keep their values.
    EXPECT_EQ(m->specularColor[0], 1.0f);
    EXPECT_EQ(m->specularColor[1], 1.0f);
    EXPECT_EQ(m->glossiness, 0.3f);
    EXPECT_EQ(m->specularLevel, 2.5f);
    EXPECT_EQ(m->diffuseMapName, "brick_d");
    EXPECT_EQ(m->bumpMapName, "brick_n");
    EXPECT_EQ(m->lightMapName, "MESHLightingMap");
    EXPECT_EQ(m->opacityMapName, "");
    EXPECT_EQ(m->environmentMapName, "sky");
    EXPECT_EQ(m->reflection, 0.75f);
}

TEST(Material, NumbersReadWithAPointWhateverTheLocale) {
    // The show's content is written with points; a viewer's decimal-comma
    // locale must not turn 0.5 into 0.
    murmur::test::DecimalCommaScope comma;
    ASSERT_TRUE(comma.active()) << murmur::test::decimalCommaLocaleFailure();
    auto m = parse(R"(<M Name="m"><Param Type="Diffuse" Value="0.5;0.25;0.125"/>
<Param Type="SpecularLevel" Value="1.5"/></M>)");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->diffuseColor[0], 0.5f);
    EXPECT_EQ(m->diffuseColor[1], 0.25f);
    EXPECT_EQ(m->diffuseColor[2], 0.125f);
    EXPECT_EQ(m->specularLevel, 1.5f);
}

TEST(Material, FilesThatCannotBeReadGiveNull) {
    murmur::test::ScratchDir dir;
    EXPECT_EQ(loadMaterial(dir.file("missing.mat")), nullptr);
    murmur::test::writeBytes(dir.file("bad.mat"), {'<', 'M', '>', '<', '/', 'X', '>'});
    std::string error;
    EXPECT_EQ(readMaterialFile(dir.file("bad.mat"), &error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(MaterialWriter, RoundTripsEveryField) {
    Material m;
    m.name = "name with \"quotes\" & <brackets>";
    m.diffuseColor[0] = 0.1f;
    m.diffuseColor[1] = 1e-7f;
    m.diffuseColor[2] = -3;
    m.opacity = 0.333333343f;
    m.specularColor[2] = 0.5f;
    m.glossiness = 0.72f;
    m.specularLevel = 1.7f;
    m.reflection = 0.2f;  // no environment map name: the reflection must still come back
    m.diffuseMapName = "brick.old";
    m.bumpMapName = "brick_n";
    m.lightMapName = "floorLightingMap";
    murmur::test::ScratchDir dir;
    std::string error;
    ASSERT_TRUE(saveMaterial(m, dir.file("m.mat"), &error)) << error;
    std::unique_ptr<Material> back(loadMaterial(dir.file("m.mat")));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, m.name);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back->diffuseColor[i], m.diffuseColor[i]);
        EXPECT_EQ(back->specularColor[i], m.specularColor[i]);
    }
    EXPECT_EQ(back->opacity, m.opacity);
    EXPECT_EQ(back->glossiness, m.glossiness);
    EXPECT_EQ(back->specularLevel, m.specularLevel);
    EXPECT_EQ(back->reflection, m.reflection);
    EXPECT_EQ(back->diffuseMapName, "brick.old");
    EXPECT_EQ(back->bumpMapName, "brick_n");
    EXPECT_EQ(back->lightMapName, "floorLightingMap");
    EXPECT_EQ(back->opacityMapName, "");
    EXPECT_EQ(back->environmentMapName, "");

    // Line breaks of every kind and tabs in names come back as they were.
    m.name = "two\r\nlines\rand\ttabs\n";
    m.diffuseMapName = "carriage\rreturn";
    ASSERT_TRUE(saveMaterial(m, dir.file("m.mat"), &error)) << error;
    back.reset(loadMaterial(dir.file("m.mat")));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, m.name);
    EXPECT_EQ(back->diffuseMapName, m.diffuseMapName);

    m.diffuseMapName = "maps/brick";
    std::string xml;
    EXPECT_FALSE(writeMaterial(m, xml, &error));
    EXPECT_NE(error.find("maps/brick"), std::string::npos);
}

}  // namespace
