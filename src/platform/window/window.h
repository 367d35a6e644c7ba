// The window layer: top-level windows and their controls on Qt Widgets, described by data.
//
// A window is a table of control definitions built by one generic builder. The layer gives
// its users these rules, whatever Qt does underneath:
//  1. Handlers run synchronously on the UI thread, inside the action that raised the event.
//  2. While a window and its controls are being built no event is raised (none is queued
//     for later either). Once all controls exist the window's Created event runs, and only
//     then, if the window still exists, is the window shown and activated.
//  3. An event without a bound handler is ignored.
//  4. Reading an edit box gives a new Text (GBK bytes) with its whole content; in a
//     multi-line box every line break is CR LF. A line that is only wrapped adds nothing.
//  5. Writing an edit box replaces its whole content, then raises its TextChanged event
//     exactly once, also when the text is unchanged. A change by the user raises it once
//     per change, after the change is in place. Qt's own signals from a write are dropped.
//  6. Writing a label replaces its caption; labels raise no events.
// Keys: Tab and Shift+Tab walk the focus order (the reverse of the definition order, over
// the controls that take focus); Enter reaches only a control that asks for it (the input
// box), elsewhere it does nothing; Escape closes the window whatever has the focus.
// The outer size is fixed, frame included, and the window opens centred on the primary
// screen. Texts cross into Qt here and nowhere else: Texts are GBK, Qt is UTF-16.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace quorvel::window {

using Text = std::string;  // GBK bytes, as everywhere in the program
using ControlId = std::uint32_t;
using Handler = std::function<void()>;

enum class ControlKind {
    Label,       // static text on the button-face colour, takes no focus, raises no events
    PushButton,  // never a default button; raises Clicked on mouse click or space bar
    InputBox,    // multi-line edit box: wraps long lines, Enter inserts a line break
    ReadOutBox,  // single-line read-only edit box: scrolls horizontally, can be selected
};

enum class LabelLayout {
    RightAlignedSingleLine,  // right-aligned, centred vertically, never wrapped
    TopLeftWrapped,          // left-aligned from the top, wrapped, cut off below the label
};

enum class Event { Created, Clicked, TextChanged };

struct ControlDefinition {
    std::string_view name;  // the control's name (UTF-8), also its Qt object name
    ControlId id;
    ControlKind kind;
    int left, top, width, height;          // pixels, from the client area's top-left corner
    std::string_view text;                 // UTF-8 caption or initial text
    LabelLayout labelLayout = LabelLayout::RightAlignedSingleLine;  // labels only
    std::string_view accessibleName = {};  // UTF-8; what a screen reader announces
};

struct Binding {
    ControlId source;  // a control's identifier, or the window's for Created
    Event event;
    Handler handler;
};

struct WindowDefinition {
    ControlId id;
    std::string_view caption;  // UTF-8
    int outerWidth, outerHeight;  // frame and title bar included
    int buttonFontPixelHeight;    // the one font of all push buttons
    std::vector<ControlDefinition> controls;  // in definition order
};

class Window {
public:
    virtual ~Window() = default;

    // Edit boxes: rule 4. Labels and buttons: their caption, converted the same way.
    virtual Text ReadText(ControlId control) const = 0;
    // Edit boxes: rule 5. Labels: rule 6.
    virtual void WriteText(ControlId control, const Text& text) = 0;
    // Closes the window as its close button does; the window is then destroyed.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // For tests and the desktop integration, never for handlers.
    virtual QWidget* Widget() const = 0;
    virtual QWidget* Control(ControlId control) const = 0;
};

// Builds the window hidden, then its controls, without raising any event; raises Created
// (the binding whose source is the window's identifier); shows and activates the window if
// it still exists. The focus starts on the first control of the focus order.
// attach, when given, receives the window once all controls exist and before Created is
// raised, so that the caller can hand it to its handlers: the Created handler runs before
// BuildWindow returns and would otherwise have no way to reach the window.
// Handlers must not throw: an exception leaving a handler ends the program (std::terminate)
// instead of unwinding through the toolkit.
std::unique_ptr<Window> BuildWindow(const WindowDefinition& definition,
                                    std::vector<Binding> bindings,
                                    const std::function<void(Window&)>& attach = {});

// An informational message box: the caption "信息：", one OK button, modal to the
// application's windows, no owner. Returns when the user has closed it.
void ShowMessage(const Text& text);

}  // namespace quorvel::window
