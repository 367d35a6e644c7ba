// ShowMessage: Qt's information box, with no parent and modal to the whole application.
// The box lives on the stack of this call and is gone when it returns.
#include <QMessageBox>

#include "platform/window/qt_text.h"
#include "platform/window/window.h"

namespace quorvel::window {

void ShowMessage(const Text& text) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("信息："),
                    detail::QStringFromText(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

}  // namespace quorvel::window
