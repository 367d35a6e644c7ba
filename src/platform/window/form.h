// The top-level widget behind a Window: its controls in definition order, the bound
// handlers, the keyboard rules, the fixed outer size and the close. The Window handle
// (window.cpp) owns it; nothing outside the window layer sees this class.
#pragma once

#include <QSize>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/window/window.h"

class QKeyEvent;
class QPlainTextEdit;

namespace quorvel::window::detail {

class Form final : public QWidget {
public:
    // Builds the hidden window and its controls. No handler runs until FinishBuilding.
    Form(const WindowDefinition& definition, std::vector<Binding> bindings);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    ControlId Id() const { return id_; }
    void FinishBuilding() { building_ = false; }

    // Runs the handlers bound to the event, in the order of the binding list, at once.
    // A handler that throws ends the program here rather than unwinding through Qt.
    void Raise(ControlId source, Event event) noexcept;
    bool Dispatching() const { return dispatchDepth_ > 0; }

    QWidget* Control(ControlId id) const;
    Text ReadText(ControlId id) const;
    void WriteText(ControlId id, const Text& text);

    // Shows the window where it was placed, activates it and focuses the first control
    // of the focus order.
    void ShowAndActivate();
    // Closes as the close button does; the form is then finished with (see OnClosed).
    void CloseWindow();
    bool Closed() const { return closed_; }
    // Called once, when the window has been closed by any means.
    void OnClosed(std::function<void()> callback) { onClosed_ = std::move(callback); }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Entry {
        ControlId id;
        ControlKind kind;
        QWidget* widget;  // a child of the form
    };

    const Entry* Find(ControlId id) const;
    bool HandleKey(QObject* target, const QKeyEvent& key);
    void MoveFocus(bool forward);
    bool CanTakeFocus(const QWidget* control) const;
    static void InsertLineBreak(QPlainTextEdit* box);
    void FitOuterSize();
    void MarkClosed();

    ControlId id_;
    QSize outerSize_;
    std::vector<Entry> controls_;       // definition order
    std::vector<QWidget*> focusOrder_;  // reverse definition order, labels left out
    std::vector<Binding> bindings_;
    std::function<void()> onClosed_;
    bool building_ = true;
    bool closed_ = false;
    int dispatchDepth_ = 0;
};

}  // namespace quorvel::window::detail
