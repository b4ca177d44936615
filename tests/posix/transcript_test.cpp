// The transcript: JSON strings for any program text, one object per line.

#include "common/transcript.h"
#include "support/json_lines.h"
#include "support/posix/temp_dir.h"
#include "support/testing.h"

namespace vsu { namespace {

// Control characters are escaped, a byte that is no valid UTF-8 as the Latin-1 character it would be; a run appends.
TEST(Transcript, QuotesAnyTextAndWritesOneParsableObjectPerLine) {
  EXPECT_EQ(JsonQuote(std::string("nul\0\x1b[0m", 8)), "\"nul\\u0000\\u001b[0m\"");
  EXPECT_EQ(JsonQuote("caf\xe9 \xed\xa0\x80 \xc3"), "\"caf\\u00e9 \\u00ed\\u00a0\\u0080 \\u00c3\"");
  test::TempDir dir;
  const auto path = (dir.path() / "log.jsonl").string();
  {
    Transcript log(path);
    log.Log("msgbox", {{"text", "Please check path again"}, {"style", 64}, {"title", "Vela Scan"}});
    log.Log("caption", {{"window", "frmEnterPath"}, {"control", nullptr}, {"text", "  Enter\r\n"}});
    log.Log("enabled", {{"window", "frmVelaScanUpg"}, {"control", "cmdExit"}, {"value", false}});
  }
  Transcript(path).Log("end", {{"status", 2}});  // a second run appends
  const auto events = test::ReadTranscript(path);
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].name() + events[0].Str("title"), "msgboxVela Scan");
  EXPECT_EQ(events[0].Num("style"), 64);
  EXPECT_TRUE(events[1].fields.at("control").is_null());
  EXPECT_EQ(events[1].Str("text"), "  Enter\r\n");
  EXPECT_EQ(events[2].fields.at("value"), false);
  EXPECT_EQ(events[3].Num("status"), 2);
  for (const auto& e : events) EXPECT_GE(e.Num("t"), 0);
}

}}  // namespace vsu
