#include <gtest/gtest.h>

#include "common/transcript.h"
#include "support/json_lines.h"
#include "support/posix/temp_dir.h"

namespace vsu {
namespace {

struct QuoteCase {
  std::string text;
  std::string json;
};

class JsonQuoteTest : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(JsonQuoteTest, EscapesWhatJsonRequires) { EXPECT_EQ(JsonQuote(GetParam().text), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonQuoteTest,
    ::testing::Values(QuoteCase{"plain", "\"plain\""}, QuoteCase{"a\"b", "\"a\\\"b\""},
                      QuoteCase{"c:\\windows", "\"c:\\\\windows\""},
                      QuoteCase{"Error\r\n\r\nTry", "\"Error\\r\\n\\r\\nTry\""},
                      QuoteCase{"running.\n\nExit", "\"running.\\n\\nExit\""},
                      QuoteCase{"tab\there", "\"tab\\there\""},
                      QuoteCase{std::string("nul\0x", 5), "\"nul\\u0000x\""},
                      QuoteCase{"\x1b[0m", "\"\\u001b[0m\""},
                      QuoteCase{"caf\xc3\xa9", "\"caf\xc3\xa9\""},  // UTF-8 passes through
                      QuoteCase{"caf\xe9", "\"caf\\u00e9\""},       // an ANSI byte is escaped
                      QuoteCase{"\xc3", "\"\\u00c3\""},             // a cut-off sequence too
                      QuoteCase{"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""}));

TEST(Transcript, WritesOneParsableObjectPerLineWithTimeAndEvent) {
  test::TempDir dir;
  const auto path = (dir.path() / "log.jsonl").string();
  {
    Transcript log(path);
    log.Log("msgbox", {{"text", "Please check path again"}, {"style", 64}, {"title", "Vela Scan"}});
    log.Log("caption", {{"window", "frmEnterPath"}, {"control", nullptr}, {"text", "  Enter\r\n"}});
    log.Log("enabled", {{"window", "frmVelaScanUpg"}, {"control", "cmdExit"}, {"value", false}});
  }
  {
    Transcript appended(path);  // a second run appends
    appended.Log("end", {{"status", 2}});
  }
  const auto events = test::ReadTranscript(path);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].name(), "msgbox");
  EXPECT_EQ(events[0].Num("style"), 64);
  EXPECT_TRUE(events[1].fields.at("control").is_null());
  EXPECT_EQ(events[1].Str("text"), "  Enter\r\n");
  EXPECT_EQ(events[2].fields.at("value"), false);
  EXPECT_EQ(events[3].Num("status"), 2);
  for (const auto& e : events) EXPECT_GE(e.Num("t"), 0);
}

}  // namespace
}  // namespace vsu
