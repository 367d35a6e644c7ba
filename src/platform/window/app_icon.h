// The application icon, compiled into the window layer from data/quorvel.qrc.
#pragma once

#include <QIcon>

namespace quorvel::window::detail {

// Registers the icon's resource on first use (a static library's resource object is only
// linked in when something refers to it) and returns the icon.
QIcon ApplicationIcon();

}  // namespace quorvel::window::detail
