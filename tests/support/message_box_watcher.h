// Answers the application's message boxes in a test, as a person pressing OK would, and
// keeps what each box said.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace quorvel::testing {

struct SeenMessageBox {
    QString title;
    QString text;
    QStringList buttons;
    bool applicationModal;
    bool hasParent;
};

class MessageBoxWatcher : public QObject {
public:
    MessageBoxWatcher() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, this, &MessageBoxWatcher::Answer);
        timer_.start();
    }

    QList<SeenMessageBox> seen;

private:
    void Answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        QStringList buttons;
        for (QAbstractButton* button : box->buttons()) {
            const bool ok = box->standardButton(button) == QMessageBox::Ok;
            buttons << (ok ? QStringLiteral("OK") : button->text());
        }
        seen.append({box->windowTitle(), box->text(), buttons,
                     box->windowModality() == Qt::ApplicationModal, box->parent() != nullptr});
        box->button(QMessageBox::Ok)->click();
    }

    QTimer timer_;
};

}  // namespace quorvel::testing
