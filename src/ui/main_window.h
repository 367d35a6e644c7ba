// The calculator's main window: its control table, its event bindings, and the handlers
// behind them.
#pragma once

#include <memory>

#include "platform/window/window.h"
#include "script/script_host.h"

namespace quorvel::ui {

// Identifiers of the window and its controls; the names are the controls' own.
namespace id {
inline constexpr window::ControlId kMainWindow = 1375797251;
inline constexpr window::ControlId k标签5 = 369175122;
inline constexpr window::ControlId k按钮_打开小键盘 = 369175115;
inline constexpr window::ControlId k按钮_清空 = 369175114;
inline constexpr window::ControlId k标签3 = 369164309;
inline constexpr window::ControlId k标签4 = 369164310;
inline constexpr window::ControlId k标签2 = 369164308;
inline constexpr window::ControlId k标签1 = 369164307;
inline constexpr window::ControlId k编辑框_标准差 = 369164305;
inline constexpr window::ControlId k编辑框_变异系数 = 369164306;
inline constexpr window::ControlId k编辑框_平均数 = 369164304;
inline constexpr window::ControlId k编辑框_计算总数 = 369164302;
inline constexpr window::ControlId k编辑框1 = 369164293;
inline constexpr window::ControlId k按钮_计算 = 369164292;
}  // namespace id

// The window and its thirteen controls, in definition order.
const window::WindowDefinition& MainWindowDefinition();

// The main window, built and bound to its handlers. The handlers use `host` for every
// computation; `onCreated` runs once all controls exist, before the window is shown.
class MainWindow {
public:
    static std::unique_ptr<MainWindow> Show(script::ScriptHost& host, window::Handler onCreated);

    // Null when the window could not be built.
    window::Window* window() const { return owned_.get(); }

private:
    MainWindow() = default;

    std::unique_ptr<window::Window> owned_;
    // The same window, known to the handlers from the moment all controls exist.
    window::Window* window_ = nullptr;
};

}  // namespace quorvel::ui
