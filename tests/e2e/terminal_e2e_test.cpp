// The terminal interface driven through a pseudo-terminal, as a user at a
// console would drive it.

#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "support/posix/e2e.h"

namespace vsu {
namespace {

class PtyProgram {
 public:
  explicit PtyProgram(const test::Sandbox& box) {
    pid_ = ::forkpty(&master_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      for (const auto& [name, value] : box.run.env) {
        if (value) ::setenv(name.c_str(), value->c_str(), 1);
        else ::unsetenv(name.c_str());
      }
      ::setenv("VELASCANUPG_UI", "terminal", 1);
      const std::string path = test::BinPath("velascanupg");
      ::execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
  }
  ~PtyProgram() {
    if (pid_ > 0 && status_ < 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
  }

  // Reads the screen output until it contains text; false after the timeout.
  bool WaitFor(const std::string& text, int seconds = 20) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
      if (screen_.find(text, seen_) != std::string::npos) {
        seen_ = screen_.find(text, seen_) + text.size();
        return true;
      }
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 100) > 0) {
        char buffer[4096];
        const auto n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) return false;
        screen_.append(buffer, static_cast<std::size_t>(n));
      }
    }
    return false;
  }
  void Type(const std::string& keys) { ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size())); }
  int Wait() {
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      WaitFor("\x01never", 0);  // keep draining the screen
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
        return status_;
      }
      ::usleep(50000);
    }
    return -1;
  }

 private:
  int master_ = -1;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string screen_;
  std::size_t seen_ = 0;
};

TEST(TerminalEndToEnd, EnterPathDialogTakesTypingEnterAndEsc) {
  test::Sandbox box;
  PtyProgram program(box);
  ASSERT_TRUE(program.WaitFor("  Enter the Path to Windows"));
  ASSERT_TRUE(program.WaitFor("Path:"));
  program.Type("c:\\nowherx");
  program.Type("\x7f");  // backspace
  program.Type("e\r");
  ASSERT_TRUE(program.WaitFor("Please check path again"));
  program.Type("\r");  // OK on the message box
  ASSERT_TRUE(program.WaitFor("Path: c:\\nowhere"));
  program.Type("\x1b");  // Esc presses Cancel
  EXPECT_EQ(program.Wait(), 2);

  const auto events = box.Events();
  const auto clicks = test::EventsNamed(events, "click");
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].Str("control"), "cmdOK");
  EXPECT_EQ(clicks[0].Str("entry"), "c:\\nowhere");
  EXPECT_EQ(clicks[1].Str("control"), "cmdCancel");
  EXPECT_EQ(test::EventsNamed(events, "msgbox").size(), 1u);
  EXPECT_EQ(events.back().Num("status"), 2);
}

}  // namespace
}  // namespace vsu
