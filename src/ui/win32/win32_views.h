#pragma once
// The three windows of the program drawn with Win32 controls.

#include <memory>

#include "platform/views.h"

namespace vsu::win32ui {

class Win32Toolkit;

std::unique_ptr<MainView> MakeMainView(Win32Toolkit& kit);
std::unique_ptr<EnterPathView> MakeEnterPathView(Win32Toolkit& kit);
std::unique_ptr<UpgradeView> MakeUpgradeView(Win32Toolkit& kit);

}  // namespace vsu::win32ui
