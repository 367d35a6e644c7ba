// BuildWindow and the Window handle. The handle owns the form while the window is open.
// Closing hands the form to Qt's deferred deletion (the close may come from inside one of
// the form's own event handlers, where deleting it at once would pull the floor away), so
// from the close on the window counts as destroyed: IsOpen is false and the handle no
// longer reaches its controls.
#include "platform/window/window.h"

#include <QPointer>

#include "platform/window/form.h"

namespace quorvel::window {

namespace {

class WindowHandle final : public Window {
public:
    WindowHandle(const WindowDefinition& definition, std::vector<Binding> bindings)
        : form_(std::make_unique<detail::Form>(definition, std::move(bindings))) {
        form_->OnClosed([this] { Release(); });
    }

    ~WindowHandle() override {
        if (!form_) return;
        form_->OnClosed(nullptr);
        if (form_->Dispatching()) {
            // Destroyed from inside one of its own handlers: finish once they have returned.
            form_->hide();
            form_.release()->deleteLater();
        }
    }

    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;

    // Raises Created, then shows the window if it is still open.
    void Open() {
        form_->FinishBuilding();
        form_->Raise(form_->Id(), Event::Created);
        if (form_) form_->ShowAndActivate();
    }

    Text ReadText(ControlId control) const override {
        return form_ ? form_->ReadText(control) : Text();
    }

    void WriteText(ControlId control, const Text& text) override {
        if (form_) form_->WriteText(control, text);
    }

    void Close() override {
        if (form_) form_->CloseWindow();
    }

    bool IsOpen() const override { return form_ != nullptr; }

    QWidget* Widget() const override { return form_.get(); }

    QWidget* Control(ControlId control) const override {
        return form_ ? form_->Control(control) : nullptr;
    }

private:
    void Release() { form_.release()->deleteLater(); }

    std::unique_ptr<detail::Form> form_;
};

}  // namespace

std::unique_ptr<Window> BuildWindow(const WindowDefinition& definition,
                                    std::vector<Binding> bindings,
                                    const std::function<void(Window&)>& attach) {
    auto window = std::make_unique<WindowHandle>(definition, std::move(bindings));
    if (attach) attach(*window);
    window->Open();
    return window;
}

}  // namespace quorvel::window
