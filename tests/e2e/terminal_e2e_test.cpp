// The terminal interface driven through a pseudo-terminal, as a user at a console would.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "support/json_lines.h"
#include "support/posix/service_sandbox.h"

namespace vsu {
namespace {

TEST(TerminalEndToEnd, EnterPathDialogTakesTypingEnterAndEsc) {
  test::ServiceSandbox box;
  int terminal = -1;
  const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid == 0) {
    for (const auto& [name, value] : box.Environment()) value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    ::setenv("VELASCANUPG_UI", "terminal", 1);
    ::unsetenv("WINDIR");  // no drive is mapped, so the Windows directory is asked for
    const std::string path = test::BinPath("velascanupg");
    ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  std::string screen;
  std::size_t seen = 0;
  // Reads the screen until text follows what was seen last; false after 20 s or at its end.
  const auto shows = [&](const std::string& text) {
    for (const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < deadline;) {
      if (const auto at = screen.find(text, seen); at != std::string::npos) return seen = at + text.size(), true;
      pollfd p{terminal, POLLIN, 0};
      char buffer[4096];
      if (::poll(&p, 1, 100) <= 0) continue;
      const auto n = ::read(terminal, buffer, sizeof buffer);
      if (n <= 0) return false;
      screen.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
  };
  const auto type = [&](const std::string& keys) { EXPECT_EQ(::write(terminal, keys.data(), keys.size()), ssize_t(keys.size())); };
  EXPECT_TRUE(shows("  Enter the Path to Windows") && shows("Path:"));
  type("c:\\nowherx\x7f" "e\r");  // a backspace, then Enter presses OK
  EXPECT_TRUE(shows("Please check path again"));
  type("\r");  // OK on the message box
  EXPECT_TRUE(shows("Path: c:\\nowhere"));
  type("\x1b");  // Esc presses Cancel
  shows("\x01");  // to the end of the output
  int status = 0;
  ::kill(pid, SIGKILL);  // only when it still runs: an ended program stays a zombie until waited for
  ::waitpid(pid, &status, 0);
  ::close(terminal);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << screen;
  std::vector<std::string> seenEvents;
  for (const auto& e : test::ReadTranscript(box.TranscriptFile())) {
    if (e.name() == "click") seenEvents.push_back(e.Str("control") + (e.Has("entry") ? " " + e.Str("entry") : ""));
    if (e.name() == "msgbox" || e.name() == "end") seenEvents.push_back(e.name());
  }
  EXPECT_EQ(seenEvents, (std::vector<std::string>{"cmdOK c:\\nowhere", "msgbox", "cmdCancel", "end"}));
}

}  // namespace
}  // namespace vsu
