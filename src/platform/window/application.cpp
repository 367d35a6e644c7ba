// The application object: Qt's QApplication with the program's name, desktop file id and
// icon. The desktop file id matches data/quorvel.desktop, so that desktops can tie the
// running window to its menu entry and icon. No display name is set: Qt would append it to
// every window title, the message box's "信息：" included.
#include "platform/window/application.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

#include "platform/window/app_icon.h"

namespace quorvel::window {

Application::Application(int& argc, char** argv)
    : app_(std::make_unique<QApplication>(argc, argv)) {
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(detail::ApplicationIcon());
}

Application::~Application() = default;

int Application::RunMessageLoop() {
    // Qt ends its loop when the last visible window closes; with none open it would wait
    // for ever, so there is no loop to run.
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool anyOpen = std::any_of(windows.cbegin(), windows.cend(),
                                     [](const QWidget* window) { return window->isVisible(); });
    if (!anyOpen) return 0;
    return QApplication::exec();
}

}  // namespace quorvel::window
