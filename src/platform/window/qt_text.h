// Texts across the border between the program and Qt: the program's Texts are GBK bytes,
// Qt's strings are UTF-16, and the definitions of windows are written in UTF-8. Every
// conversion of the window layer goes through here; the code page itself is codepage's.
#pragma once

#include <QString>
#include <string_view>

#include "platform/window/window.h"

class QTextDocument;

namespace quorvel::window::detail {

QString QStringFromText(const Text& text);
QString QStringFromUtf8(std::string_view utf8);
Text TextFromQString(const QString& text);

// The whole content of a plain-text document with every line break as CR LF: the end of
// each paragraph and each line separator (Shift+Enter) count, wrapping on screen does not.
// A no-break space reads as a space, as QTextDocument::toPlainText has it.
Text TextFromDocument(const QTextDocument& document);

}  // namespace quorvel::window::detail
