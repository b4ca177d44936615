#pragma once
// Starting other programs; the program never waits for them.

#include <cstdint>
#include <string>

namespace vsu {

// The fields of the SHELLEXECUTEINFO record the program fills; the rest are zero.
struct ShellExecuteInfo {
  std::uint32_t cbSize = 0;
  std::uint32_t fMask = 0;
  std::uintptr_t hwnd = 0;
  std::string lpVerb;
  std::string lpFile;
  std::string lpParameters;
  std::string lpDirectory;
  int nShow = 0;
};

inline constexpr std::uint32_t kShellExecuteInfoSize = 60;  // its size on 32-bit Windows
// SEE_MASK_NOCLOSEPROCESS, SW_HIDE and SW_SHOWNORMAL of <windows.h>.
inline constexpr std::uint32_t kMaskNoCloseProcess = 0x40;
inline constexpr int kShowHidden = 0;
inline constexpr int kShowNormal = 1;

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Starts info.lpFile with info.lpParameters in info.lpDirectory; false when
  // it cannot be started. A process handle it yields is closed at once.
  virtual bool ShellExecuteExA(const ShellExecuteInfo& info) = 0;
  // Starts a program from a command text with a window style; returns the new
  // process id, or 0 when it could not be started.
  virtual std::uint32_t StartProgram(const std::string& command, int windowStyle) = 0;
};

}  // namespace vsu
