// Site files as technicians write them: what is taken, and every refusal
// naming the file, the key and the reason before anything reaches a meter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <variant>

#include "meter/json_reader.h"
#include "meter/site_profile.h"

namespace {

zt::ProfileError Refusal(const std::string& text) {
  const zt::ProfileResult result = zt::ParseSiteProfile(text, "site.json");
  EXPECT_TRUE(std::holds_alternative<zt::ProfileError>(result)) << text;
  return std::holds_alternative<zt::ProfileError>(result) ? std::get<zt::ProfileError>(result)
                                                          : zt::ProfileError{};
}

TEST(SiteProfile, TakesEveryKeyAndLeavesOutWhatTheFileDoesNotName) {
  const zt::ProfileResult full = zt::ParseSiteProfile(
      R"({"site": "泵站 3", "meter": "A-17", "address": 5, "baud": 19200, "parity": "even",
          "upper_limit": 4000, "lower_limit": 200, "decimal_point": 1, "pt": 100, "ct": 5,
          "wiring": 1, "clock_tolerance_s": 30})",
      "site.json");
  ASSERT_TRUE(std::holds_alternative<zt::SiteProfile>(full));
  const auto& p = std::get<zt::SiteProfile>(full);
  EXPECT_EQ(p.site, "泵站 3");
  EXPECT_EQ(p.meter, "A-17");
  EXPECT_EQ(p.address, 5);
  EXPECT_EQ(p.baud, 19200);
  EXPECT_EQ(p.parity, zt::kParityEven);
  EXPECT_EQ(p.upperLimit, 4000);
  EXPECT_EQ(p.lowerLimit, 200);
  EXPECT_EQ(p.decimalPoint, 1);
  EXPECT_EQ(p.pt, 100);
  EXPECT_EQ(p.ct, 5);
  EXPECT_EQ(p.wiring, 1);
  EXPECT_EQ(p.clockToleranceS, 30);

  const zt::ProfileResult empty = zt::ParseSiteProfile(" {\n} ", "site.json");
  ASSERT_TRUE(std::holds_alternative<zt::SiteProfile>(empty));
  const auto& e = std::get<zt::SiteProfile>(empty);
  EXPECT_FALSE(e.address || e.baud || e.parity || e.upperLimit || e.lowerLimit ||
               e.decimalPoint || e.pt || e.ct || e.wiring);
  EXPECT_EQ(e.clockToleranceS, 60);
}

TEST(SiteProfile, RefusesUnknownKeysWrongTypesAndValuesOutOfRangeNamingKeyAndReason) {
  struct Case {
    const char* text;
    const char* key;
    const char* reason;
  };
  const Case cases[] = {
      {R"({"adress": 5})", "adress", "is not a profile key"},
      {R"({"address": "5"})", "address", "must be a number, not a string"},
      {R"({"address": 0})", "address", "0 is outside 1 to 255"},
      {R"({"address": 256})", "address", "256 is outside 1 to 255"},
      {R"({"address": 5.5})", "address", "5.5 is not a whole number"},
      {R"({"address": 5e0})", "address", "5e0 is not a whole number"},
      {R"({"baud": 9601})", "baud", "9601 is not one of 1200, 2400, 4800, 9600, 19200"},
      // 2^32 + 9600 must not wrap onto a rate.
      {R"({"baud": 4294976896})", "baud", "is not one of"},
      {R"({"baud": 3})", "baud", "is not one of"},
      {R"({"parity": "N"})", "parity", R"("N" is not one of "none", "odd", "even")"},
      {R"({"parity": 0})", "parity", "must be a string, not a number"},
      {R"({"upper_limit": -1})", "upper_limit", "-1 is outside 0 to 65535"},
      {R"({"lower_limit": 65536})", "lower_limit", "outside 0 to 65535"},
      {R"({"upper_limit": 100, "lower_limit": 200})", "lower_limit",
       "200 is above upper_limit 100"},
      {R"({"decimal_point": 4})", "decimal_point", "4 is outside 0 to 3"},
      {R"({"pt": 0})", "pt", "0 is outside 1 to 64000"},
      {R"({"ct": 64001})", "ct", "64001 is outside 1 to 64000"},
      {R"({"wiring": 6})", "wiring", "6 is outside 0 to 5"},
      {R"({"wiring": [1]})", "wiring", "must be a number, not a list"},
      {R"({"clock_tolerance_s": -5})", "clock_tolerance_s", "outside 0 to 86400"},
      {R"({"clock_tolerance_s": null})", "clock_tolerance_s", "must be a number, not null"},
      {R"({"site": 3})", "site", "must be a string, not a number"},
      {R"({"meter": true})", "meter", "must be a string, not true or false"},
  };
  for (const Case& c : cases) {
    const zt::ProfileError error = Refusal(c.text);
    EXPECT_EQ(error.file, "site.json") << c.text;
    EXPECT_EQ(error.key, c.key) << c.text;
    EXPECT_NE(error.reason.find(c.reason), std::string::npos) << c.text << ": " << error.reason;
    EXPECT_EQ(error.Message().rfind(std::string("site.json: key \"") + c.key + "\" ", 0), 0U)
        << error.Message();
  }
  const zt::ProfileError longText = Refusal("{\"site\": \"" + std::string(201, 'x') + "\"}");
  EXPECT_EQ(longText.key, "site");
  EXPECT_NE(longText.reason.find("longer than 200 bytes"), std::string::npos);
}

TEST(SiteProfile, RefusesAFileThatIsNoProfileWithWhereItStops) {
  const zt::ProfileError syntax = Refusal("{\n  \"address\": 5,\n  \"baud\" 9600\n}");
  EXPECT_EQ(syntax.key, "");
  EXPECT_EQ(syntax.reason, "line 3, column 10: ':' expected after a key");
  EXPECT_EQ(syntax.Message(), "site.json: line 3, column 10: ':' expected after a key");

  EXPECT_EQ(Refusal(R"({"address": 5, "address": 6})").reason,
            R"(line 1, column 16: the key "address" is given twice)");
  EXPECT_EQ(Refusal("[1, 2]").reason, "the profile must be an object, not a list");
  EXPECT_EQ(Refusal("").reason, "line 1, column 1: the text ends where a value should be");
  EXPECT_EQ(Refusal(R"({"site": "a)").reason, "line 1, column 12: a string is not closed");
  EXPECT_EQ(Refusal("{} {}").reason, "line 1, column 4: text after the end of the value");
  // Deep nesting is refused instead of exhausting the stack.
  EXPECT_NE(Refusal(std::string(10000, '[')).reason.find("nested too deeply"), std::string::npos);
}

TEST(SiteProfile, ReadsEscapesAndRefusesBrokenOnes) {
  const auto read = zt::ReadJson(R"(["\u6cf5\u7ad9", "\ud83d\ude00", "a\"b\\c\n"])");
  ASSERT_TRUE(std::holds_alternative<zt::JsonValue>(read));
  const auto& items = std::get<zt::JsonValue>(read).items;
  ASSERT_EQ(items.size(), 3U);
  EXPECT_EQ(items[0].text, "泵站");
  EXPECT_EQ(items[1].text, "\xF0\x9F\x98\x80");
  EXPECT_EQ(items[2].text, "a\"b\\c\n");

  EXPECT_TRUE(std::holds_alternative<zt::JsonError>(zt::ReadJson(R"("\ud83d")")));
  EXPECT_TRUE(std::holds_alternative<zt::JsonError>(zt::ReadJson(R"("\x41")")));
  EXPECT_TRUE(std::holds_alternative<zt::JsonError>(zt::ReadJson("\"a\tb\"")));
  EXPECT_TRUE(std::holds_alternative<zt::JsonError>(zt::ReadJson("01")));
  EXPECT_TRUE(std::holds_alternative<zt::JsonError>(zt::ReadJson("1e999")));
}

TEST(SiteProfile, AFileThatCannotBeReadIsRefusedWithTheSystemsReason) {
  const std::filesystem::path missing =
      std::filesystem::temp_directory_path() / "zt-no-such-profile.json";
  std::filesystem::remove(missing);
  const zt::ProfileResult result = zt::ReadSiteProfile(missing);
  ASSERT_TRUE(std::holds_alternative<zt::ProfileError>(result));
  const auto& error = std::get<zt::ProfileError>(result);
  EXPECT_EQ(error.file, missing.string());
  EXPECT_NE(error.reason.find("cannot be read: No such file"), std::string::npos) << error.reason;

  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / "zt-profile-read-test.json";
  std::ofstream(file) << R"({"address": 7})";
  const zt::ProfileResult ok = zt::ReadSiteProfile(file);
  std::filesystem::remove(file);
  ASSERT_TRUE(std::holds_alternative<zt::SiteProfile>(ok));
  EXPECT_EQ(std::get<zt::SiteProfile>(ok).address, 7);
}

}  // namespace
