#pragma once
// The windows' design: client sizes, texts and control places in twips, as
// every backend draws them.

#include "platform/views.h"

namespace vsu::layout {

// What a fixed single border with a caption adds to a client area.
inline constexpr TwipSize kBorder{90, 405};

inline constexpr TwipSize kMainClient{4515, 3060};
inline constexpr const char* kMainCaption = "  Vela Scan Installation";
inline constexpr const char* kText1 =
    "Vela Scan Requires that both SNMPc and \r\nSNMPc Online is installed.\r\n\r\n"
    "It's recommended to use SNMPc version 9.0 or later.\r\n\r\n"
    "It's recommended to use SNMPc Online \r\nversion 12.1.1 or later.\r\n";

inline constexpr TwipSize kEnterPathClient{5475, 1785};
inline constexpr const char* kEnterPathCaption = "Enter Path";

inline constexpr TwipSize kUpgradeClient{5385, 1905};
inline constexpr const char* kUpgradeCaption = "Vela Scan Installation";
inline constexpr const char* kTxtInfo = "Info";
inline constexpr const char* kExitCaption = "Exit";
inline constexpr int kProgressMax = 10;

struct Rect {
  int left, top, width, height;
};
// frmMain
inline constexpr Rect kText1Rect{720, 240, 3135, 1815};
inline constexpr Rect kMainExitRect{1680, 2400, 1335, 375};
// frmEnterPath (lblPath and txtName are relative to fraPath)
inline constexpr Rect kFraPathRect{240, 240, 4935, 735};
inline constexpr Rect kLblPathRect{240, 300, 495, 255};
inline constexpr Rect kTxtNameRect{840, 270, 3915, 285};
inline constexpr Rect kOkRect{2820, 1200, 1100, 375};
inline constexpr Rect kCancelRect{4080, 1200, 1100, 375};
// frmVelaScanUpg
inline constexpr Rect kLogoRect{240, 240, 480, 480};
inline constexpr Rect kTxtInfoRect{1080, 240, 3855, 285};
inline constexpr Rect kProgressRect{1080, 720, 3855, 375};
inline constexpr Rect kUpgradeExitRect{2280, 1320, 1335, 375};

inline TwipSize OuterSize(TwipSize client) {
  return {client.width + kBorder.width, client.height + kBorder.height};
}

// The screen outside Windows: env VELASCANUPG_SCREEN=WxH in pixels, else
// 1024 x 768, at 15 twips a pixel.
TwipSize ScreenFromEnvironment();

}  // namespace vsu::layout
