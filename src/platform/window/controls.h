// The four kinds of control on Qt widgets: how each is made and how it looks. What the
// controls do (events, keys, focus) is the form's business, not theirs.
#pragma once

#include <QString>

#include "platform/window/window.h"

class QWidget;

namespace quorvel::window::detail {

// Makes the control as a child of parent, placed and sized by the definition, with its
// starting text, without raising or queuing any event of the program.
QWidget* CreateControl(const ControlDefinition& definition, int buttonFontPixelHeight,
                       QWidget* parent);

bool TakesFocus(ControlKind kind);

// Captions of push buttons: '&' is doubled on the way in so that it shows as itself and
// makes no mnemonic, and undoubled on the way out.
QString ButtonCaption(const QString& text);
QString TextOfButtonCaption(const QString& caption);

}  // namespace quorvel::window::detail
