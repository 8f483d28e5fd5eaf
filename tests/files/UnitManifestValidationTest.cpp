#include "files/UnitManifestValidation.h"

#include <boost/property_tree/json_parser.hpp>
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace
{
using boost::property_tree::ptree;

ptree parseJson(const std::string& text)
{
    std::istringstream stream(text);
    ptree tree;
    boost::property_tree::read_json(stream, tree);
    return tree;
}

ptree baseManifest(const std::string& module = "osc", const std::string& platform = "sonavire")
{
    return parseJson(R"({"header": {"platform": ")" + platform + R"(", "module": ")" + module +
                     R"(", "api": "1.2-3", "dev_id": 305419896, "prg_id": 4000000000, "version": "2.10-99",
                        "name": "Saw Wave", "num_param": 0}})");
}

ptree paramsFrom(const std::string& json)
{
    return parseJson(R"({"p": )" + json + "}").get_child("p");
}

std::uint32_t le32(const UnitHeaderRecord& record, size_t offset)
{
    return static_cast<std::uint32_t>(record[offset]) | (static_cast<std::uint32_t>(record[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(record[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(record[offset + 3]) << 24);
}

std::string textAt(const UnitHeaderRecord& record, size_t offset)
{
    std::string text;
    while (offset < record.size() && record[offset] != 0)
        text += static_cast<char>(record[offset++]);
    return text;
}

std::unique_ptr<UnitHeaderRecord> validate(const ptree& manifest)
{
    std::string message;
    auto record = validateUnitManifest(manifest, message);
    if (record == nullptr)
    {
        EXPECT_FALSE(message.empty());
    }
    return record;
}
} // namespace

TEST(UnitManifestValidation, HeaderFieldsAreStoredLittleEndian)
{
    const auto record = validate(baseManifest());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ((*record)[0], 4); // osc
    EXPECT_EQ((*record)[1], 1); // sonavire + 1
    EXPECT_EQ((*record)[2], 3); // api 1.2-3 as 03 02 01 00
    EXPECT_EQ((*record)[3], 2);
    EXPECT_EQ((*record)[4], 1);
    EXPECT_EQ((*record)[5], 0);
    EXPECT_EQ(le32(*record, 6), 305419896u);
    EXPECT_EQ(le32(*record, 10), 4000000000u);
    EXPECT_EQ(le32(*record, 14), (2u << 16) | (10u << 8) | 99u);
    EXPECT_EQ(textAt(*record, 18), "Saw Wave");
    EXPECT_EQ(le32(*record, 32), 0u);
    for (size_t i = 26; i < record->size(); ++i)
        ASSERT_EQ((*record)[i], 0) << "byte " << i;
}

TEST(UnitManifestValidation, EveryPlatformAndModuleGivesItsModuleWord)
{
    for (size_t platform = 0; platform < unitPlatformNames.size(); ++platform)
        for (size_t module = 0; module < unitModuleNames.size(); ++module)
        {
            const auto record = validate(baseManifest(unitModuleNames[module], unitPlatformNames[platform]));
            ASSERT_NE(record, nullptr) << unitPlatformNames[platform] << " " << unitModuleNames[module];
            EXPECT_EQ((*record)[0], module);
            EXPECT_EQ((*record)[1], platform + 1);
        }
}

TEST(UnitManifestValidation, NamesAreClippedToThirteenCharacters)
{
    struct Case
    {
        std::string name;
        std::string stored;
    };
    const Case cases[] = {
        {"A", "A"},
        {"Thirteen char", "Thirteen char"},
        {"A twenty char name!!", "A twenty char"},
        {" ~ edges ~ ", " ~ edges ~ "},
    };
    for (const auto& c : cases)
    {
        auto manifest = baseManifest();
        manifest.put("header.name", c.name);
        const auto record = validate(manifest);
        ASSERT_NE(record, nullptr) << c.name;
        EXPECT_EQ(textAt(*record, 18), c.stored);
        EXPECT_EQ((*record)[31], 0);
    }
}

TEST(UnitManifestValidation, InvalidManifestsAreRefused)
{
    struct Case
    {
        const char* what;
        std::function<void(ptree&)> change;
    };
    const auto set = [](const char* path, const char* value) { return [=](ptree& m) { m.put(path, value); }; };
    const auto erase = [](const char* key) { return [=](ptree& m) { m.get_child("header").erase(key); }; };
    const auto objectAt = [](const char* path)
    { return [=](ptree& m) { m.put_child(path, paramsFrom("{\"a\": 1}")); }; };

    const Case cases[] = {
        {"no header", [](ptree& m) { m.erase("header"); }},
        {"platform missing", erase("platform")},
        {"platform case differs", set("header.platform", "Sonavire")},
        {"unknown platform", set("header.platform", "other")},
        {"platform is an object", objectAt("header.platform")},
        {"module missing", erase("module")},
        {"module case differs", set("header.module", "OSC")},
        {"unknown module", set("header.module", "fx")},
        {"api missing", erase("api")},
        {"api with dots only", set("header.api", "1.2.3")},
        {"api minor above 99", set("header.api", "1.100-0")},
        {"api without patch", set("header.api", "1.2-")},
        {"api with blank", set("header.api", " 1.2-3")},
        {"api too large to convert", set("header.api", "99999999999.0-0")},
        {"api negative", set("header.api", "-1.2-3")},
        {"dev_id missing", erase("dev_id")},
        {"dev_id negative", set("header.dev_id", "-1")},
        {"dev_id beyond 32 bits", set("header.dev_id", "4294967296")},
        {"dev_id fraction", set("header.dev_id", "1.5")},
        {"dev_id exponent", set("header.dev_id", "1e3")},
        {"dev_id text", set("header.dev_id", "abc")},
        {"dev_id empty", set("header.dev_id", "")},
        {"dev_id object", objectAt("header.dev_id")},
        {"prg_id missing", erase("prg_id")},
        {"prg_id negative", set("header.prg_id", "-5")},
        {"version missing", erase("version")},
        {"version patch above 99", set("header.version", "1.0-100")},
        {"name missing", erase("name")},
        {"name empty", set("header.name", "")},
        {"name not ASCII", set("header.name", "W\xC3\xA4ve")},
        {"name with control character", set("header.name", "Wave\t1")},
        {"osc without num_param", erase("num_param")},
        {"num_param negative", set("header.num_param", "-1")},
        {"num_param text", set("header.num_param", "two")},
        {"num_param past the record", set("header.num_param", "62")},
        {"num_param without params", set("header.num_param", "1")},
    };
    for (const auto& c : cases)
    {
        auto manifest = baseManifest();
        c.change(manifest);
        EXPECT_EQ(validate(manifest), nullptr) << c.what;
    }
}

TEST(UnitManifestValidation, ParameterDescriptorsAreLaidOutInOrder)
{
    auto manifest = baseManifest();
    manifest.put("header.num_param", "4");
    manifest.put_child("header.params", paramsFrom(R"([["Depth", -100, 100, "%"], ["Rate", 0, 100, "%"],
        ["Thirteen char", 1, -1, ""], ["Last", 5, 5, ""]])"));
    const auto record = validate(manifest);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(le32(*record, 32), 4u);

    struct Expected
    {
        int minimum, maximum, type;
        std::string name;
    };
    const Expected expected[] = {
        {-100, 100, 1, "Depth"}, {0, 100, 0, "Rate"}, {1, -1, 2, "Thirteen char"}, {5, 5, 2, "Last"}};
    for (size_t i = 0; i < 4; ++i)
    {
        const size_t at = 36 + 16 * i;
        EXPECT_EQ(static_cast<std::int8_t>((*record)[at]), expected[i].minimum) << i;
        EXPECT_EQ(static_cast<std::int8_t>((*record)[at + 1]), expected[i].maximum) << i;
        EXPECT_EQ((*record)[at + 2], expected[i].type) << i;
        EXPECT_EQ(textAt(*record, at + 3).substr(0, 13), expected[i].name) << i;
    }
    // The third name's terminator falls on the fourth descriptor's minimum, which overwrites it.
    EXPECT_EQ((*record)[36 + 48], 5);
    EXPECT_EQ((*record)[36 + 64], 0);
}

TEST(UnitManifestValidation, ParameterCountsAndValuesAreChecked)
{
    struct Case
    {
        const char* what;
        const char* numParam;
        const char* params;
        bool valid;
    };
    const Case cases[] = {
        {"count matches", "2", R"([["A", 0, 1, "%"], ["B", 0, 1, ""]])", true},
        {"more descriptors than the count", "2", R"([["A", 0, 1, "%"], ["B", 0, 1, ""], ["C", 0, 1, ""]])", false},
        {"fewer descriptors than the count", "2", R"([["A", 0, 1, "%"]])", false},
        {"three values", "1", R"([["A", 0, 1]])", false},
        {"five values", "1", R"([["A", 0, 1, "%", 3]])", false},
        {"minimum below -100", "1", R"([["A", -101, 1, "%"]])", false},
        {"maximum above 100", "1", R"([["A", 0, 101, "%"]])", false},
        {"minimum as fraction", "1", R"([["A", 0.5, 1, "%"]])", false},
        {"minimum as text", "1", R"([["A", "low", 1, "%"]])", false},
        {"minimum past int", "1", R"([["A", -99999999999, 1, "%"]])", false},
        {"unknown type", "1", R"([["A", 0, 1, "dB"]])", false},
        {"type as a list", "1", R"([["A", 0, 1, ["%"]]])", false},
        {"empty name", "1", R"([["", 0, 1, "%"]])", false},
        {"name not ASCII", "1", R"([["\u00e9", 0, 1, "%"]])", false},
        {"descriptor is not a list", "1", R"(["A"])", false},
        {"minimum above maximum is allowed", "1", R"([["A", 100, -100, "%"]])", true},
    };
    for (const auto& c : cases)
    {
        auto manifest = baseManifest();
        manifest.put("header.num_param", c.numParam);
        manifest.put_child("header.params", paramsFrom(c.params));
        EXPECT_EQ(validate(manifest) != nullptr, c.valid) << c.what;
    }
}

TEST(UnitManifestValidation, SixtyOneParametersFillTheRecordAndSixtyTwoAreRefused)
{
    for (const int count : {61, 62})
    {
        std::string params = "[";
        for (int i = 0; i < count; ++i)
            params += std::string(i == 0 ? "" : ",") + R"(["Param number )" + std::to_string(i) + R"(", -1, 1, "%"])";
        params += "]";
        auto manifest = baseManifest();
        manifest.put("header.num_param", std::to_string(count));
        manifest.put_child("header.params", paramsFrom(params));
        const auto record = validate(manifest);
        if (count == 62)
        {
            EXPECT_EQ(record, nullptr);
            continue;
        }
        ASSERT_NE(record, nullptr);
        const size_t last = 36 + 16 * 60;
        EXPECT_EQ(static_cast<std::int8_t>((*record)[last]), -1);
        EXPECT_EQ((*record)[last + 2], 1);
        EXPECT_EQ(textAt(*record, last + 3), "Param number ");
    }
}

TEST(UnitManifestValidation, ParametersAreReadForOscillatorsOnly)
{
    auto manifest = baseManifest("modfx");
    manifest.put("header.num_param", "bogus");
    const auto record = validate(manifest);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(le32(*record, 32), 0u);

    auto osc = baseManifest();
    osc.put("header.num_param", "0");
    osc.put_child("header.params", paramsFrom(R"([["A", 0, 1, "%"]])"));
    EXPECT_NE(validate(osc), nullptr) << "a count of 0 ends validation before the descriptors";
}

TEST(UnitManifestValidation, VersionTextLimitsEachNumber)
{
    EXPECT_EQ(makeVersionText(1, 2, 3), "1.02-3");
    EXPECT_EQ(makeVersionText(120, 5, 7), "99.05-7");
    EXPECT_EQ(makeVersionText(0, 0, 0), "0.00-0");
    EXPECT_EQ(makeVersionText(255, 255, 255), "99.99-99");
    EXPECT_EQ(makeVersionText(98, 99, 100), "98.99-99");
}
