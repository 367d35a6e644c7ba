// The whole program, started the way main() starts it, with a chosen script engine and a
// stand-in for the person at the screen: it answers message boxes with OK, closes the main
// window with Escape once it is shown, and writes what it saw to standard output, together
// with every OLE and COM initialise and uninitialise of the UI thread.
//
// Usage: app_probe <no-engine | refusing-engine | real-engine>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/program.h"
#include "fake_engine.h"
#include "platform/automation/apartment.h"
#include "platform/scriptcontrol/script_control.h"

namespace {

using namespace quorvel;

void Say(const QString& line) {
    std::fputs((line + "\n").toUtf8().constData(), stdout);
    std::fflush(stdout);
}

class Person : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::Show || !widget || !widget->isWindow()) return false;
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            Say("message: " + box->windowTitle() + " " + box->text());
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
        } else {
            Say("shown: " + widget->windowTitle());
            QTimer::singleShot(0, widget, [widget] {
                QWidget* target = widget->focusWidget() ? widget->focusWidget() : widget;
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(target, &press);
            });
        }
        return false;
    }
};

void ComeToTheScreen() {
    auto* person = new Person();  // owned by the application object
    person->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(person);
}

const char* EventName(automation::ApartmentEvent event) {
    switch (event) {
        case automation::ApartmentEvent::OleInitialize: return "OleInitialize";
        case automation::ApartmentEvent::CoInitialize: return "CoInitialize";
        case automation::ApartmentEvent::CoUninitialize: return "CoUninitialize";
        case automation::ApartmentEvent::OleUninitialize: return "OleUninitialize";
    }
    return "?";
}

automation::ObjectRegistry RegistryFor(const char* mode) {
    if (std::strcmp(mode, "real-engine") == 0) return scriptcontrol::StandardRegistry();
    if (std::strcmp(mode, "refusing-engine") == 0) {
        auto engine = std::make_shared<testing::FakeEngine>();
        engine->invokeResult = automation::hr::DISP_E_EXCEPTION;
        return testing::RegistryWith(engine);
    }
    return automation::ObjectRegistry();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    automation::SetApartmentObserver([](automation::ApartmentEvent e) { Say(EventName(e)); });
    qAddPreRoutine(ComeToTheScreen);
    const automation::ObjectRegistry registry = RegistryFor(argv[1]);
    int qtArgc = 1;
    const int exitCode = app::RunProgram(qtArgc, argv, registry);
    Say("message loop ended");
    app::EndProgram(exitCode);
}
