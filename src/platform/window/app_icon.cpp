// The application icon resource. Q_INIT_RESOURCE declares the generated registration
// function in the enclosing namespace, so it must be called from the global one (an
// unnamed namespace would give the declaration internal linkage).
#include "platform/window/app_icon.h"

#include <QString>

static void RegisterIconResource() {
    Q_INIT_RESOURCE(quorvel);
}

namespace quorvel::window::detail {

QIcon ApplicationIcon() {
    static const bool registered = (RegisterIconResource(), true);
    static_cast<void>(registered);
    return QIcon(QStringLiteral(":/quorvel/quorvel.png"));
}

}  // namespace quorvel::window::detail
