// The form: building, event dispatch, text access, keyboard rules and the window frame.
//
// Events. Qt signals of the controls are connected only after every control exists and
// its starting text is set, and Raise drops everything until FinishBuilding, so nothing
// runs while the window is built. A program write blocks the control's own signals and
// then raises TextChanged once by hand; a user's edit reaches the handler through Qt's
// textChanged, once per change.
//
// Keys. The form filters the key presses of every control before the control sees them:
// Tab and Shift+Tab walk the focus order, Enter breaks the line in the input box and does
// nothing elsewhere, Escape closes. Everything else, and these keys with other modifiers,
// is left alone.
//
// Frame. Qt places a top-level window by its frame but sizes it by its client area, and
// the frame is known only once a window manager has decorated the window. The client size
// is therefore set to the outer size less whatever frame Qt reports, again whenever the
// window is shown or moved, so the outer size ends up exact.
#include "platform/window/form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTextCursor>

#include "platform/window/app_icon.h"
#include "platform/window/controls.h"
#include "platform/window/qt_text.h"

namespace quorvel::window::detail {

namespace {

constexpr Qt::WindowFlags kFrameFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowCloseButtonHint;

// The modifiers that make a key another key; the keypad flag does not.
constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

// Where the frame's top-left corner goes so that the window is centred on the primary
// screen, with the remainder of the division dropped.
QPoint CentredFramePosition(const QSize& outer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QRect area = screen->geometry();
    return {area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height()) / 2};
}

}  // namespace

Form::Form(const WindowDefinition& definition, std::vector<Binding> bindings)
    : QWidget(nullptr, kFrameFlags),
      id_(definition.id),
      outerSize_(definition.outerWidth, definition.outerHeight),
      bindings_(std::move(bindings)) {
    setAttribute(Qt::WA_DeleteOnClose, false);  // the Window handle decides about deletion
    setWindowTitle(QStringFromUtf8(definition.caption));
    setWindowIcon(ApplicationIcon());

    QPalette background = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        background.setColor(group, QPalette::Window,
                            QApplication::palette().color(group, QPalette::Button));
    }
    setPalette(background);
    setAutoFillBackground(true);

    setFixedSize(outerSize_);  // no frame is known yet; FitOuterSize corrects it later
    move(CentredFramePosition(outerSize_));

    controls_.reserve(definition.controls.size());
    for (const ControlDefinition& control : definition.controls) {
        QWidget* widget = CreateControl(control, definition.buttonFontPixelHeight, this);
        controls_.push_back({control.id, control.kind, widget});
    }
    for (auto entry = controls_.rbegin(); entry != controls_.rend(); ++entry) {
        if (TakesFocus(entry->kind)) focusOrder_.push_back(entry->widget);
    }
    // Qt's own chain follows the same order, for anything that walks it (accessibility).
    for (std::size_t i = 1; i < focusOrder_.size(); ++i) {
        setTabOrder(focusOrder_[i - 1], focusOrder_[i]);
    }

    // Only now, with every starting text in place, are the controls' signals connected.
    for (const Entry& entry : controls_) {
        const ControlId id = entry.id;
        switch (entry.kind) {
            case ControlKind::Label:
                break;
            case ControlKind::PushButton:
                connect(static_cast<QPushButton*>(entry.widget), &QPushButton::clicked, this,
                        [this, id] { Raise(id, Event::Clicked); });
                break;
            case ControlKind::InputBox:
                connect(static_cast<QPlainTextEdit*>(entry.widget), &QPlainTextEdit::textChanged,
                        this, [this, id] { Raise(id, Event::TextChanged); });
                break;
            case ControlKind::ReadOutBox:
                connect(static_cast<QLineEdit*>(entry.widget), &QLineEdit::textChanged, this,
                        [this, id] { Raise(id, Event::TextChanged); });
                break;
        }
        if (TakesFocus(entry.kind)) entry.widget->installEventFilter(this);
    }
}

Form::~Form() {
    // The controls die in QWidget's destructor, after this object's members: nothing they
    // emit on the way may reach Raise.
    building_ = true;
    for (const Entry& entry : controls_) {
        entry.widget->removeEventFilter(this);
        disconnect(entry.widget, nullptr, this, nullptr);
    }
}

void Form::Raise(ControlId source, Event event) noexcept {
    if (building_) return;
    ++dispatchDepth_;
    for (const Binding& binding : bindings_) {
        if (binding.source == source && binding.event == event && binding.handler) {
            binding.handler();
        }
    }
    --dispatchDepth_;
}

const Form::Entry* Form::Find(ControlId id) const {
    for (const Entry& entry : controls_) {
        if (entry.id == id) return &entry;
    }
    return nullptr;
}

QWidget* Form::Control(ControlId id) const {
    const Entry* entry = Find(id);
    return entry ? entry->widget : nullptr;
}

Text Form::ReadText(ControlId id) const {
    const Entry* entry = Find(id);
    if (!entry) return {};
    switch (entry->kind) {
        case ControlKind::Label:
            return TextFromQString(static_cast<const QLabel*>(entry->widget)->text());
        case ControlKind::PushButton:
            return TextFromQString(
                TextOfButtonCaption(static_cast<const QPushButton*>(entry->widget)->text()));
        case ControlKind::InputBox:
            return TextFromDocument(*static_cast<const QPlainTextEdit*>(entry->widget)->document());
        case ControlKind::ReadOutBox:
            return TextFromQString(static_cast<const QLineEdit*>(entry->widget)->text());
    }
    Q_UNREACHABLE();
}

void Form::WriteText(ControlId id, const Text& text) {
    const Entry* entry = Find(id);
    if (!entry) return;
    const ControlId control = entry->id;  // entry may not outlive a handler run below
    switch (entry->kind) {
        case ControlKind::Label:
            static_cast<QLabel*>(entry->widget)->setText(QStringFromText(text));
            return;
        case ControlKind::PushButton:
            static_cast<QPushButton*>(entry->widget)->setText(ButtonCaption(QStringFromText(text)));
            return;
        case ControlKind::InputBox: {
            auto* box = static_cast<QPlainTextEdit*>(entry->widget);
            {
                // setPlainText takes CR LF, a lone LF and a lone CR all as line breaks.
                const QSignalBlocker quiet(box);
                box->setPlainText(QStringFromText(text));
                box->moveCursor(QTextCursor::Start);
            }
            Raise(control, Event::TextChanged);
            return;
        }
        case ControlKind::ReadOutBox: {
            auto* box = static_cast<QLineEdit*>(entry->widget);
            {
                const QSignalBlocker quiet(box);
                box->setText(QStringFromText(text));
                box->setCursorPosition(0);  // a long value shows its beginning
            }
            Raise(control, Event::TextChanged);
            return;
        }
    }
    Q_UNREACHABLE();
}

void Form::ShowAndActivate() {
    QWidget* first = nullptr;
    for (QWidget* candidate : focusOrder_) {
        if (CanTakeFocus(candidate)) {
            first = candidate;
            break;
        }
    }
    // Focusing before showing makes it the widget Qt focuses on activation; focusing again
    // afterwards covers a window that is already active.
    if (first) first->setFocus(Qt::ActiveWindowFocusReason);
    show();  // a window that is shown for the first time comes up on top
    FitOuterSize();
    activateWindow();
    if (first && !closed_) first->setFocus(Qt::ActiveWindowFocusReason);
}

void Form::CloseWindow() {
    if (closed_) return;
    close();
    // A window that was never shown may be closed by Qt without a close event.
    if (!closed_) {
        hide();
        MarkClosed();
    }
}

void Form::MarkClosed() {
    if (closed_) return;
    closed_ = true;
    if (onClosed_) {
        const std::function<void()> callback = std::move(onClosed_);
        onClosed_ = nullptr;
        callback();
    }
}

void Form::closeEvent(QCloseEvent* event) {
    event->accept();  // nothing is asked and nothing is confirmed
    MarkClosed();
}

bool Form::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        HandleKey(this, *static_cast<const QKeyEvent*>(event))) {
        return true;
    }
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::Move) FitOuterSize();
    return handled;
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return HandleKey(watched, *static_cast<const QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

bool Form::HandleKey(QObject* target, const QKeyEvent& key) {
    const Qt::KeyboardModifiers chord = key.modifiers() & kChordModifiers;
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Platforms deliver Shift+Tab as Backtab; a synthetic Shift+Tab may come as Tab.
            if (chord == Qt::NoModifier || chord == Qt::ShiftModifier) {
                MoveFocus(key.key() == Qt::Key_Tab && chord == Qt::NoModifier);
                return true;
            }
            return false;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            if (chord != Qt::NoModifier) return false;
            // Only the input box asks for Enter. There is no default button to click and
            // Enter moves no focus, so elsewhere the key simply ends here.
            for (const Entry& entry : controls_) {
                if (entry.widget == target && entry.kind == ControlKind::InputBox) {
                    auto* box = static_cast<QPlainTextEdit*>(entry.widget);
                    if (!box->isReadOnly()) InsertLineBreak(box);
                    return true;
                }
            }
            return true;
        }
        case Qt::Key_Escape:
            if (chord != Qt::NoModifier) return false;
            CloseWindow();
            return true;
        default:
            return false;
    }
}

void Form::InsertLineBreak(QPlainTextEdit* box) {
    // What the box does with Enter, as one edit. Qt 6.4's own handler first rewrites the
    // format of an empty line (a no-op for plain text) as an edit of its own, so Enter on
    // an empty line would report two text changes instead of one.
    QTextCursor cursor = box->textCursor();
    cursor.insertBlock();
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

void Form::MoveFocus(bool forward) {
    const auto count = static_cast<std::ptrdiff_t>(focusOrder_.size());
    if (count == 0) return;
    std::ptrdiff_t current = forward ? -1 : count;  // nothing of ours focused yet
    const QWidget* focused = QApplication::focusWidget();
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        if (focusOrder_[static_cast<std::size_t>(i)] == focused) current = i;
    }
    const std::ptrdiff_t step = forward ? 1 : -1;
    for (std::ptrdiff_t n = 1; n <= count; ++n) {
        const std::ptrdiff_t index = ((current + step * n) % count + count) % count;
        QWidget* candidate = focusOrder_[static_cast<std::size_t>(index)];
        if (CanTakeFocus(candidate)) {
            candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool Form::CanTakeFocus(const QWidget* control) const {
    return control->isVisibleTo(this) && control->isEnabled();
}

void Form::FitOuterSize() {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QSize decoration(frame.width() - client.width(), frame.height() - client.height());
    const QSize wanted = (outerSize_ - decoration).expandedTo(QSize(1, 1));
    if (size() != wanted || minimumSize() != wanted || maximumSize() != wanted) {
        setFixedSize(wanted);
    }
}

}  // namespace quorvel::window::detail
