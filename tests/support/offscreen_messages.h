// Qt's offscreen platform warns each time a fixed-size window is shown; the warning says
// nothing about the program under test, so GUI tests drop that one message.
#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvel::testing {

class OffscreenSizeHintMessageFilter {
public:
    OffscreenSizeHintMessageFilter() { previous() = qInstallMessageHandler(Filter); }
    ~OffscreenSizeHintMessageFilter() { qInstallMessageHandler(previous()); }
    OffscreenSizeHintMessageFilter(const OffscreenSizeHintMessageFilter&) = delete;
    OffscreenSizeHintMessageFilter& operator=(const OffscreenSizeHintMessageFilter&) = delete;

private:
    static QtMessageHandler& previous() {
        static QtMessageHandler handler = nullptr;
        return handler;
    }
    static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message == QLatin1String("This plugin does not support propagateSizeHints()")) return;
        if (previous()) previous()(type, context, message);
    }
};

}  // namespace quorvel::testing
