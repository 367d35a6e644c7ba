// The UI framework of the program's one UI thread: Qt's application object, the application
// icon and the desktop file name. It exists from start-up until the exit processing.
#pragma once

#include <memory>

class QApplication;

namespace quorvel::window {

class Application {
public:
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the message loop while a window is open; returns the quit value, 0 when the
    // last window has been closed.
    int RunMessageLoop();

private:
    std::unique_ptr<QApplication> app_;
};

}  // namespace quorvel::window
