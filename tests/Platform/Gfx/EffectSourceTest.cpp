#include "Platform/Gfx/EffectSource.h"

#include <gtest/gtest.h>

namespace {

using namespace Gfx;

const std::string kPass = "@pass\n@vertex\nvec4 VSMain() { return vec4(0.0); }\n"
                          "@fragment\nvec4 PSMain() { return vec4(1.0); }\n";

bool Parse(const std::string& text, EffectSource& out, std::string& error) {
    return ParseEffectSource(text.data(), text.size(), out, error);
}

TEST(GfxEffectSource, ReadsParamsTechniquesPassesAndState) {
    const std::string text = "@effect 1\r\n"
                             "// comment\n"
                             "@param texture2d ScreenTex filter=point mipfilter=linear "
                             "address=wrap\n"
                             "@param matrix WorldViewProjection\n"
                             "@common\nVARYING vec2 vUv;\n"
                             "@technique clean\n" +
                             kPass +
                             "@technique cinema\n@pass first\n@state blend=on src=one "
                             "dst=invsrcalpha\n@vertex\nv0\n@fragment\nf0\n" +
                             kPass + "@end\n";
    EffectSource source;
    std::string error;
    ASSERT_TRUE(Parse(text, source, error)) << error;
    ASSERT_EQ(source.params.size(), 2u);
    EXPECT_EQ(source.params[0].type, ParamType::Texture2d);
    EXPECT_FALSE(source.params[0].linear);
    EXPECT_EQ(source.params[0].mipFilter, 2);
    EXPECT_EQ(source.params[0].address, 1u);
    EXPECT_EQ(source.params[1].type, ParamType::Matrix);
    EXPECT_EQ(source.common, "VARYING vec2 vUv;\n");
    ASSERT_EQ(source.techniques.size(), 2u);
    EXPECT_EQ(source.techniques[0].name, "clean");
    const EffectTechnique& cinema = source.techniques[1];
    ASSERT_EQ(cinema.passes.size(), 2u);
    EXPECT_EQ(cinema.passes[0].name, "first");
    EXPECT_EQ(cinema.passes[0].blend, PassBlend::On);
    EXPECT_EQ(cinema.passes[0].srcBlend, 2u);
    EXPECT_EQ(cinema.passes[0].destBlend, 6u);
    EXPECT_EQ(cinema.passes[0].vertex, "v0\n");
    EXPECT_EQ(cinema.passes[1].blend, PassBlend::Inherit);
}

TEST(GfxEffectSource, RejectsMalformedText) {
    const std::pair<const char*, std::string> cases[] = {
        {"no effect line", "@technique T\n" + kPass},
        {"unknown directive", "@effect 1\n@shader\n@technique T\n" + kPass},
        {"unknown key", "@effect 1\n@param texture2d A colour=red\n@technique T\n" + kPass},
        {"duplicate param", "@effect 1\n@param float A\n@param float4 A\n@technique T\n" + kPass},
        {"param after technique", "@effect 1\n@technique T\n" + kPass + "@param float A\n"},
        {"technique without pass", "@effect 1\n@technique T\n@technique U\n" + kPass},
        {"pass without fragment", "@effect 1\n@technique T\n@pass\n@vertex\nx\n"},
        {"code outside a block", "@effect 1\nfloat x;\n@technique T\n" + kPass},
        {"bad blend", "@effect 1\n@technique T\n@pass\n@state blend=maybe\n"},
        {"text after end", "@effect 1\n@technique T\n" + kPass + "@end\nmore\n"},
    };
    for (const auto& [name, text] : cases) {
        EffectSource source;
        std::string error;
        EXPECT_FALSE(Parse(text, source, error)) << name;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << name << ": " << error;
    }
}

} // namespace
