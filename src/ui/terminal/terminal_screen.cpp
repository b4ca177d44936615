#include "ui/terminal/terminal_screen.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vsu {
namespace {

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const auto n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

bool WaitReadable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    const int n = ::poll(&p, 1, timeoutMs);
    if (n < 0 && errno == EINTR) continue;
    return n > 0;
  }
}

}  // namespace

TerminalScreen::TerminalScreen(int inFd, int outFd) : in_(inFd), out_(outFd) {
  if (::isatty(in_) && ::tcgetattr(in_, &saved_) == 0) {
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG | IEXTEN));
    raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_ = ::tcsetattr(in_, TCSAFLUSH, &raw) == 0;
  }
  WriteAll(out_, "\x1b[?25l");
}

TerminalScreen::~TerminalScreen() {
  WriteAll(out_, "\x1b[?25h\r\n");
  if (raw_) ::tcsetattr(in_, TCSAFLUSH, &saved_);
}

void TerminalScreen::Print(const std::string& text) { WriteAll(out_, text); }

Key TerminalScreen::ReadKey(int timeoutMs) {
  if (endOfInput_) return {KeyKind::EndOfInput};
  if (!WaitReadable(in_, timeoutMs)) return {};
  unsigned char c = 0;
  ssize_t n;
  do {
    n = ::read(in_, &c, 1);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    endOfInput_ = true;
    return {KeyKind::EndOfInput};
  }
  switch (c) {
    case '\r':
    case '\n': return {KeyKind::Enter};
    case 0x7f:
    case 0x08: return {KeyKind::Backspace};
    case 0x15: return {KeyKind::ClearLine};
    case 0x03:
    case 0x04: return {KeyKind::Interrupt};
    case 0x1b: {
      // A lone Esc is the key itself; Esc with more bytes right behind it is an
      // escape sequence (arrows and the like), which nothing here uses.
      if (!WaitReadable(in_, 50)) return {KeyKind::Escape};
      char rest[16];
      (void)::read(in_, rest, sizeof rest);
      return {KeyKind::Other};
    }
    default:
      if (c >= 0x20) return {KeyKind::Char, static_cast<char>(c)};
      return {KeyKind::Other};
  }
}

void TerminalScreen::Push(TerminalLayer* layer) {
  layers_.push_back(layer);
  Redraw();
}

void TerminalScreen::Pop(TerminalLayer* layer) {
  layers_.erase(std::remove(layers_.begin(), layers_.end(), layer), layers_.end());
  Redraw();
}

void TerminalScreen::Redraw() {
  std::string frame = "\x1b[H\x1b[2J";
  for (auto* layer : layers_) layer->Draw(frame);
  WriteAll(out_, frame);
}

void TerminalScreen::DispatchPendingKeys() {
  for (;;) {
    const Key key = ReadKey(0);
    if (key.kind == KeyKind::None || key.kind == KeyKind::EndOfInput) return;
    if (!layers_.empty()) layers_.back()->KeyWhileBusy(key);
  }
}

void DrawBox(std::string& frame, const std::string& title, const std::vector<std::string>& lines) {
  std::size_t width = title.size() + 4;
  for (const auto& line : lines) width = std::max(width, line.size());
  width = std::max<std::size_t>(width, 50);
  frame.append("+-").append(title).append(width - title.size() + 1, '-').append("+\r\n");
  for (const auto& line : lines) frame.append("| ").append(line).append(width - line.size(), ' ').append(" |\r\n");
  frame.append("+").append(width + 2, '-').append("+\r\n");
}

}  // namespace vsu
