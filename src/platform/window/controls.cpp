// Making the controls. Labels are plain text on the button-face colour; the edit boxes are
// black on white whatever the style says, read-only ones included; push buttons share one
// font of a given pixel height and are never default buttons. Labels and edit boxes keep
// the application's default font.
#include "platform/window/controls.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextOption>

#include "platform/window/qt_text.h"

namespace quorvel::window::detail {

namespace {

QColor ButtonFace() {
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

void PaintBlackOnWhite(QWidget* box) {
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::white);
        palette.setColor(group, QPalette::Text, Qt::black);
    }
    box->setPalette(palette);
}

QWidget* CreateLabel(const ControlDefinition& definition, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, ButtonFace());
        palette.setColor(group, QPalette::WindowText, Qt::black);
    }
    label->setPalette(palette);
    label->setMargin(0);
    label->setIndent(0);
    switch (definition.labelLayout) {
        case LabelLayout::RightAlignedSingleLine:
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            label->setWordWrap(false);
            break;
        case LabelLayout::TopLeftWrapped:
            // Qt breaks lines by the Unicode rules, so CJK text wraps between characters.
            // A QLabel paints only inside its own rectangle: lines below it are cut off.
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setWordWrap(true);
            break;
    }
    label->setText(QStringFromUtf8(definition.text));
    return label;
}

QWidget* CreatePushButton(const ControlDefinition& definition, int fontPixelHeight,
                          QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    QFont font = QApplication::font();  // the platform's family, only the size is ours
    font.setPixelSize(fontPixelHeight);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    button->setFont(font);
    button->setText(ButtonCaption(QStringFromUtf8(definition.text)));
    return button;
}

QWidget* CreateInputBox(const ControlDefinition& definition, QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);  // the form moves the focus itself; never type a tab
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    PaintBlackOnWhite(box);
    box->setPlainText(QStringFromUtf8(definition.text));
    return box;
}

QWidget* CreateReadOutBox(const ControlDefinition& definition, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setFocusPolicy(Qt::StrongFocus);
    box->setReadOnly(true);
    box->setFrame(true);
    box->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PaintBlackOnWhite(box);
    box->setText(QStringFromUtf8(definition.text));
    box->setCursorPosition(0);
    return box;
}

}  // namespace

QWidget* CreateControl(const ControlDefinition& definition, int buttonFontPixelHeight,
                       QWidget* parent) {
    QWidget* control = nullptr;
    switch (definition.kind) {
        case ControlKind::Label:
            control = CreateLabel(definition, parent);
            break;
        case ControlKind::PushButton:
            control = CreatePushButton(definition, buttonFontPixelHeight, parent);
            break;
        case ControlKind::InputBox:
            control = CreateInputBox(definition, parent);
            break;
        case ControlKind::ReadOutBox:
            control = CreateReadOutBox(definition, parent);
            break;
    }
    Q_ASSERT(control);
    control->setObjectName(QStringFromUtf8(definition.name));
    if (!definition.accessibleName.empty()) {
        control->setAccessibleName(QStringFromUtf8(definition.accessibleName));
    }
    control->setGeometry(definition.left, definition.top, definition.width, definition.height);
    return control;
}

bool TakesFocus(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return false;
        case ControlKind::PushButton:
        case ControlKind::InputBox:
        case ControlKind::ReadOutBox:
            return true;
    }
    Q_UNREACHABLE();
}

QString ButtonCaption(const QString& text) {
    QString caption = text;
    caption.replace(u'&', QStringLiteral("&&"));
    return caption;
}

QString TextOfButtonCaption(const QString& caption) {
    QString text = caption;
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return text;
}

}  // namespace quorvel::window::detail
