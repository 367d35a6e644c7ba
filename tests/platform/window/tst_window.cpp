// The window layer driven through real widgets: a small window with controls of every kind
// and handlers that record what reaches them. Keys go through the window like a user's
// (QTest on the QWindow), so the form's key filter sees them as it would in use.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "offscreen_messages.h"
#include "platform/codepage/codepage.h"
#include "platform/window/application.h"
#include "platform/window/window.h"

using quorvel::window::Binding;
using quorvel::window::BuildWindow;
using quorvel::window::ControlId;
using quorvel::window::ControlKind;
using quorvel::window::Event;
using quorvel::window::LabelLayout;
using quorvel::window::Text;
using quorvel::window::Window;
using quorvel::window::WindowDefinition;

namespace {

constexpr ControlId kWindow = 900;
constexpr ControlId kCountLabel = 901;
constexpr ControlId kKeypad = 902;
constexpr ControlId kClear = 903;
constexpr ControlId kAmpersandLabel = 904;
constexpr ControlId kMeanLabel = 905;
constexpr ControlId kReadOutB = 906;  // no handler bound
constexpr ControlId kReadOutA = 907;
constexpr ControlId kInput = 908;
constexpr ControlId kCompute = 909;

const WindowDefinition& TestDefinition() {
    static const WindowDefinition definition{
        kWindow,
        "测试窗口",
        284,
        258,
        24,
        {
            {"标签_计数", kCountLabel, ControlKind::Label, 8, 184, 80, 40, "当前待计算数有：0 个",
             LabelLayout::TopLeftWrapped},
            {"按钮_键盘", kKeypad, ControlKind::PushButton, 90, 184, 181, 40, "打开小键盘"},
            {"按钮_清空", kClear, ControlKind::PushButton, 90, 136, 88, 40, "清 空"},
            {"标签_符号", kAmpersandLabel, ControlKind::Label, 94, 73, 74, 24, "R&D"},
            {"标签_平均", kMeanLabel, ControlKind::Label, 94, 41, 74, 24, "平均数",
             LabelLayout::RightAlignedSingleLine, "平均数标签"},
            {"编辑框_乙", kReadOutB, ControlKind::ReadOutBox, 176, 41, 93, 24, ""},
            {"编辑框_甲", kReadOutA, ControlKind::ReadOutBox, 176, 10, 93, 24, "",
             LabelLayout::RightAlignedSingleLine, "读数甲"},
            {"编辑框1", kInput, ControlKind::InputBox, 3, 6, 84, 170, ""},
            {"按钮_计算", kCompute, ControlKind::PushButton, 183, 136, 88, 40, "计 算"},
        }};
    return definition;
}

// The focus order: the focusable controls, last defined first.
const std::vector<ControlId> kFocusOrder = {kCompute,  kInput, kReadOutA,
                                            kReadOutB, kClear, kKeypad};

std::string NameOf(ControlId id) {
    for (const auto& control : TestDefinition().controls) {
        if (control.id == id) return std::string(control.name);
    }
    return {};
}

Text Gbk(const char* utf8) {
    return quorvel::codepage::GbkFromUtf8(utf8);
}

QByteArray Bytes(const Text& text) {
    return QByteArray::fromStdString(text);
}

// What the handlers saw. Optional extra actions let a test make a handler do more.
struct Recorder {
    Window* window = nullptr;
    std::vector<std::string> log;
    std::vector<Text> inputSeen;  // the input box as read inside each of its TextChanged
    bool visibleDuringCreated = true;
    std::function<void()> onCreated;
    std::function<void()> onClear;
};

std::vector<Binding> Bindings(Recorder* r) {
    return {
        {kWindow, Event::Created,
         [r] {
             r->log.push_back("created");
             r->visibleDuringCreated = r->window->Widget()->isVisible();
             if (r->onCreated) r->onCreated();
         }},
        {kInput, Event::TextChanged,
         [r] {
             r->log.push_back("changed:input");
             r->inputSeen.push_back(r->window->ReadText(kInput));
         }},
        {kReadOutA, Event::TextChanged, [r] { r->log.push_back("changed:readoutA"); }},
        {kCompute, Event::Clicked, [r] { r->log.push_back("clicked:compute"); }},
        {kKeypad, Event::Clicked, [r] { r->log.push_back("clicked:keypad"); }},
        {kClear, Event::Clicked,
         [r] {
             r->log.push_back("clicked:clear");
             if (r->onClear) r->onClear();
             r->log.push_back("clicked:clear:end");
         }},
    };
}

using Log = std::vector<std::string>;

QString LogText(const Log& log) {
    QStringList items;
    for (const std::string& item : log) items << QString::fromStdString(item);
    return items.join(QLatin1String(", "));
}

// Counts the Show events of an object, to prove a window was never shown.
class ShowCounter : public QObject {
public:
    using QObject::QObject;
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) ++shows;
        return false;
    }
};

// The offscreen platform cannot pass a fixed size on to a window system and says so each
// time a window is created; that one message is dropped, every other goes to Qt Test.
void FlushDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class TestWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<quorvel::testing::OffscreenSizeHintMessageFilter> messageFilter_;
    std::unique_ptr<Recorder> rec_;
    std::unique_ptr<Window> window_;

    void Open() {
        window_ = BuildWindow(TestDefinition(), Bindings(rec_.get()),
                              [this](Window& window) { rec_->window = &window; });
    }

    // Builds the window and waits until it is active, so that keys reach the focus.
    bool OpenActive() {
        Open();
        return window_->IsOpen() && QTest::qWaitForWindowActive(window_->Widget());
    }

    QWidget* Widget(ControlId id) const { return window_->Control(id); }
    QPlainTextEdit* Input() const { return qobject_cast<QPlainTextEdit*>(Widget(kInput)); }

    // A key pressed as the user would: through the window to whatever has the focus.
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window_->Widget()->windowHandle(), key, modifiers);
    }

    void Focus(ControlId id) {
        Widget(id)->setFocus(Qt::OtherFocusReason);
        QCOMPARE(QApplication::focusWidget(), Widget(id));
    }

private Q_SLOTS:
    void initTestCase() { messageFilter_ = std::make_unique<quorvel::testing::OffscreenSizeHintMessageFilter>(); }
    void cleanupTestCase() { messageFilter_.reset(); }

    void init() { rec_ = std::make_unique<Recorder>(); }

    void cleanup() {
        window_.reset();
        rec_.reset();
        FlushDeferredDeletes();
        QApplication::clipboard()->clear();
    }

    // --- Building and the created event ---------------------------------------------------

    void buildingRaisesOnlyCreatedBeforeShowing() {
        Text labelAtCreated;
        rec_->onCreated = [&] { labelAtCreated = rec_->window->ReadText(kCountLabel); };
        Open();
        // The starting texts of the boxes raised nothing; Created ran once, hidden, with
        // every control already there.
        QCOMPARE(LogText(rec_->log), QStringLiteral("created"));
        QVERIFY(!rec_->visibleDuringCreated);
        QCOMPARE(Bytes(labelAtCreated), Bytes(Gbk("当前待计算数有：0 个")));
        QVERIFY(window_->IsOpen());
        QVERIFY(window_->Widget()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(window_->Widget()));
        // Nothing was queued for later either.
        QCoreApplication::processEvents();
        QCOMPARE(LogText(rec_->log), QStringLiteral("created"));
    }

    void writeInCreatedRaisesItsEvent() {
        rec_->onCreated = [&] { rec_->window->WriteText(kInput, "7"); };
        Open();
        QCOMPARE(LogText(rec_->log), QStringLiteral("created, changed:input"));
        QCOMPARE(Bytes(rec_->inputSeen.at(0)), QByteArray("7"));
        QVERIFY(window_->Widget()->isVisible());
    }

    void closingInCreatedMeansNeverShown() {
        ShowCounter shows;
        QPointer<QWidget> widget;
        rec_->onCreated = [&] { rec_->window->Close(); };
        window_ = BuildWindow(TestDefinition(), Bindings(rec_.get()), [&](Window& window) {
            rec_->window = &window;
            widget = window.Widget();
            widget->installEventFilter(&shows);
        });
        QCOMPARE(LogText(rec_->log), QStringLiteral("created"));
        QVERIFY(!window_->IsOpen());
        QVERIFY(!window_->Widget());
        QVERIFY(!window_->Control(kInput));
        QCOMPARE(shows.shows, 0);
        QVERIFY(widget && !widget->isVisible());
        FlushDeferredDeletes();
        QVERIFY(!widget);  // destroyed, not just hidden
        // A closed window ignores reads and writes.
        window_->WriteText(kInput, "x");
        QCOMPARE(Bytes(window_->ReadText(kInput)), QByteArray());
    }

    // --- Text-changed events ----------------------------------------------------------------

    void programWriteRaisesExactlyOnce_data() {
        QTest::addColumn<ControlId>("control");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("expected");
        const QString input = QStringLiteral("changed:input");
        const QString readOut = QStringLiteral("changed:readoutA");
        QTest::newRow("input, empty onto empty") << kInput << QByteArray() << QByteArray() << input;
        QTest::newRow("input, same text again")
            << kInput << QByteArray("12") << QByteArray("12") << input;
        QTest::newRow("input, several lines")
            << kInput << QByteArray("1") << QByteArray("1\r\n2\r\n3") << input;
        QTest::newRow("input, emptied") << kInput << QByteArray("1\r\n2") << QByteArray() << input;
        QTest::newRow("read-out, value")
            << kReadOutA << QByteArray() << QByteArray("0.25") << readOut;
        QTest::newRow("read-out, unchanged")
            << kReadOutA << QByteArray("3") << QByteArray("3") << readOut;
        QTest::newRow("read-out without handler")
            << kReadOutB << QByteArray() << QByteArray("4") << QString();
    }

    void programWriteRaisesExactlyOnce() {
        QFETCH(ControlId, control);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, text);
        QFETCH(QString, expected);
        QVERIFY(OpenActive());
        window_->WriteText(control, before.toStdString());
        rec_->log.clear();
        rec_->inputSeen.clear();
        window_->WriteText(control, text.toStdString());
        QCOMPARE(LogText(rec_->log), expected);
        QCOMPARE(Bytes(window_->ReadText(control)), text);
        if (control == kInput) {
            QCOMPARE(Bytes(rec_->inputSeen.at(0)), text);  // the handler saw the new text
        }
        QCoreApplication::processEvents();  // and nothing follows later
        QCOMPARE(LogText(rec_->log), expected);
    }

    void writeInsideHandlerRunsNestedHandler() {
        QVERIFY(OpenActive());
        window_->WriteText(kInput, "1\r\n2");
        rec_->log.clear();
        rec_->inputSeen.clear();
        rec_->onClear = [&] {
            rec_->window->WriteText(kInput, "");
            rec_->log.push_back("clear:after-write");
            rec_->window->WriteText(kReadOutA, "");
        };
        QTest::mouseClick(Widget(kClear), Qt::LeftButton);
        QCOMPARE(LogText(rec_->log),
                 QStringLiteral("clicked:clear, changed:input, clear:after-write, "
                                "changed:readoutA, clicked:clear:end"));
        QCOMPARE(Bytes(rec_->inputSeen.at(0)), QByteArray());
    }

    void labelWritesRaiseNothing() {
        QVERIFY(OpenActive());
        rec_->log.clear();
        window_->WriteText(kCountLabel, Gbk("当前待计算数有：12 个"));
        QCOMPARE(LogText(rec_->log), QString());
        QCOMPARE(qobject_cast<QLabel*>(Widget(kCountLabel))->text(),
                 QStringLiteral("当前待计算数有：12 个"));
    }

    void userEditsRaiseOncePerChange() {
        QVERIFY(OpenActive());
        Focus(kInput);
        rec_->log.clear();
        // The second Return lands on an empty line, where Qt on its own reports two changes.
        for (const Qt::Key key : {Qt::Key_1, Qt::Key_2, Qt::Key_Return, Qt::Key_Return, Qt::Key_3})
            Press(key);
        Press(Qt::Key_Backspace);
        Press(Qt::Key_Z, Qt::ControlModifier);  // undo
        QByteArrayList seen;
        for (const Text& text : rec_->inputSeen) seen << Bytes(text);
        const QByteArrayList expected = {"1",           "12",         "12\r\n",     "12\r\n\r\n",
                                         "12\r\n\r\n3", "12\r\n\r\n", "12\r\n\r\n3"};
        QCOMPARE(seen, expected);
        QCOMPARE(rec_->log.size(), std::size_t{7});
        // Keys that change nothing raise nothing.
        Press(Qt::Key_Left);
        Press(Qt::Key_Home);
        QCOMPARE(rec_->log.size(), std::size_t{7});
    }

    void pasteRaisesOnce_data() {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("LF lines") << QStringLiteral("1\n2\n3\n4") << QString()
                                  << QByteArray("1\r\n2\r\n3\r\n4");
        QTest::newRow("CR LF lines")
            << QStringLiteral("1\r\n2\r\n3\r\n") << QString() << QByteArray("1\r\n2\r\n3\r\n");
        // Qt's text cursor takes a lone CR as a paragraph break as well.
        QTest::newRow("lone CR") << QStringLiteral("1\r2") << QString() << QByteArray("1\r\n2");
        QTest::newRow("rich text pastes as plain")
            << QStringLiteral("5\n6") << QStringLiteral("<b>5</b><br><i>6</i><table><tr><td>x")
            << QByteArray("5\r\n6");
        QTest::newRow("Chinese") << QStringLiteral("数据\n一") << QString()
                                 << Bytes(Gbk("数据\r\n一"));
    }

    void pasteRaisesOnce() {
        QFETCH(QString, plain);
        QFETCH(QString, html);
        QFETCH(QByteArray, expected);
        QVERIFY(OpenActive());
        auto mime = std::make_unique<QMimeData>();
        mime->setText(plain);
        if (!html.isEmpty()) mime->setHtml(html);
        QApplication::clipboard()->setMimeData(mime.release());  // the clipboard owns it
        Focus(kInput);
        rec_->log.clear();
        rec_->inputSeen.clear();
        Press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(LogText(rec_->log), QStringLiteral("changed:input"));
        QCOMPARE(Bytes(rec_->inputSeen.at(0)), expected);
    }

    // --- Reading text ---------------------------------------------------------------------

    void readGivesCrLfLineBreaks_data() {
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QByteArray>("read");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one line") << QByteArray("12") << QByteArray("12");
        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QByteArray("a\r\nb");
        QTest::newRow("lone LF") << QByteArray("a\nb") << QByteArray("a\r\nb");
        QTest::newRow("mixed") << QByteArray("a\nb\r\nc") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("empty middle line")
            << QByteArray("12\r\n\r\n13") << QByteArray("12\r\n\r\n13");
        QTest::newRow("trailing break") << QByteArray("12\r\n") << QByteArray("12\r\n");
        QTest::newRow("only a break") << QByteArray("\r\n") << QByteArray("\r\n");
        QTest::newRow("two breaks") << QByteArray("\r\n\r\n") << QByteArray("\r\n\r\n");
        QTest::newRow("spaces and letters") << QByteArray(" x y ") << QByteArray(" x y ");
        QTest::newRow("Chinese round trip")
            << Bytes(Gbk("平均数\r\n变异系数(CV)")) << Bytes(Gbk("平均数\r\n变异系数(CV)"));
        // GBK trail bytes never look like a line feed, so double-byte text next to line
        // breaks comes back whole.
        QTest::newRow("double-byte around breaks")
            << Bytes(Gbk("数\n据\n")) << Bytes(Gbk("数\r\n据\r\n"));
        QTest::newRow("euro sign (0x80)") << QByteArray("\x80") << QByteArray("\x80");
        // A long text is converted a stretch at a time: every character must come back
        // whole wherever a stretch ends, inside a run of double-byte characters longer than
        // a stretch too, and one-byte and two-byte characters mixed in one run.
        const QByteArray digits = QByteArray("1234.567\r\n").repeated(30000);
        QTest::newRow("30,000 lines of digits") << digits << digits;
        const QByteArray chinese = Bytes(Gbk("平均数 12.5\r\n")).repeated(20000);
        QTest::newRow("20,000 lines with Chinese") << chinese << chinese;
        const QByteArray longRun = "7\r\n" + Bytes(Gbk("数")).repeated(50000) + "\r\n8";
        QTest::newRow("one run of 50,000 Chinese characters") << longRun << longRun;
        const QByteArray mixedRun = "7" + Bytes(Gbk("数€")).repeated(30000) + "\r\n";
        QTest::newRow("one run of Chinese and euro signs") << mixedRun << mixedRun;
    }

    void readGivesCrLfLineBreaks() {
        QFETCH(QByteArray, written);
        QFETCH(QByteArray, read);
        QVERIFY(OpenActive());
        window_->WriteText(kInput, written.toStdString());
        QCOMPARE(Bytes(window_->ReadText(kInput)), read);
    }

    void typedLineBreaksReadAsCrLf_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::newRow("Return") << Qt::Key_Return << Qt::KeyboardModifiers();
        QTest::newRow("keypad Enter") << Qt::Key_Enter << Qt::KeyboardModifiers(Qt::KeypadModifier);
        // Shift+Enter is left to the box, which inserts a line separator within the line.
        QTest::newRow("Shift+Return") << Qt::Key_Return << Qt::KeyboardModifiers(Qt::ShiftModifier);
    }

    void typedLineBreaksReadAsCrLf() {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QVERIFY(OpenActive());
        Focus(kInput);
        Press(Qt::Key_4);
        Press(key, modifiers);
        Press(Qt::Key_5);
        QCOMPARE(Bytes(window_->ReadText(kInput)), QByteArray("4\r\n5"));
    }

    void userTextOutsideGbkReadsAsQuestionMark() {
        QVERIFY(OpenActive());
        Input()->insertPlainText(QStringLiteral("a\u00A0b\U0001F600c"));
        // A no-break space reads as a space; a character GBK lacks becomes '?'.
        QCOMPARE(Bytes(window_->ReadText(kInput)), QByteArray("a b?c"));
    }

    void longUserTextOutsideGbkReadsAsQuestionMarks() {
        QVERIFY(OpenActive());
        // Surrogate pairs at odd positions, so that long texts read a stretch at a time
        // must not part a pair where a stretch ends: each pair is one character, one '?'.
        Input()->insertPlainText("7" + QStringLiteral("\U0001F600").repeated(40000) +
                                 QStringLiteral("\n\u6570\u00A0").repeated(20000));
        QCOMPARE(Bytes(window_->ReadText(kInput)),
                 "7" + QByteArray(40000, '?') + ("\r\n" + Bytes(Gbk("数")) + " ").repeated(20000));
    }

    void wrappedLineAddsNoLineBreak() {
        QVERIFY(OpenActive());
        const Text longLine(120, '7');
        window_->WriteText(kInput, longLine);
        const QTextBlock block = Input()->document()->firstBlock();
        Input()->document()->documentLayout()->blockBoundingRect(block);  // lays the block out
        QVERIFY2(block.layout()->lineCount() > 1, "the line should wrap at the box's width");
        QCOMPARE(window_->ReadText(kInput), longLine);
        QCOMPARE(Input()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void readOutBoxShowsTheBeginning() {
        QVERIFY(OpenActive());
        window_->WriteText(kReadOutA, "0.5163977794943222");
        auto* box = qobject_cast<QLineEdit*>(Widget(kReadOutA));
        QCOMPARE(box->cursorPosition(), 0);
        QCOMPARE(Bytes(window_->ReadText(kReadOutA)), QByteArray("0.5163977794943222"));
        // Typing into it changes nothing, but its text can be selected.
        Focus(kReadOutA);
        rec_->log.clear();
        Press(Qt::Key_9);
        Press(Qt::Key_Backspace);
        QCOMPARE(Bytes(window_->ReadText(kReadOutA)), QByteArray("0.5163977794943222"));
        QCOMPARE(LogText(rec_->log), QString());
        Press(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("0.5163977794943222"));
    }

    // --- Focus and keys -------------------------------------------------------------------

    void focusStartsOnFirstOfFocusOrder() {
        QVERIFY(OpenActive());
        QCOMPARE(QApplication::focusWidget(), Widget(kCompute));
    }

    void tabWalksTheFocusOrder_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<bool>("forward");
        QTest::newRow("Tab") << Qt::Key_Tab << Qt::KeyboardModifiers() << true;
        QTest::newRow("Shift+Backtab (as X11 sends it)")
            << Qt::Key_Backtab << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
        QTest::newRow("Shift+Tab")
            << Qt::Key_Tab << Qt::KeyboardModifiers(Qt::ShiftModifier) << false;
    }

    void tabWalksTheFocusOrder() {
        QFETCH(Qt::Key, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(bool, forward);
        QVERIFY(OpenActive());
        const int count = static_cast<int>(kFocusOrder.size());
        int at = 0;
        // Twice round, to cross the wrap-around both ways.
        for (int step = 1; step <= 2 * count; ++step) {
            Press(key, modifiers);
            at = ((at + (forward ? 1 : -1)) % count + count) % count;
            QCOMPARE(QApplication::focusWidget(),
                     Widget(kFocusOrder[static_cast<std::size_t>(at)]));
        }
        QCOMPARE(LogText(rec_->log), QStringLiteral("created"));  // no clicks, no edits
    }

    void tabInInputBoxMovesOnAndTypesNothing() {
        QVERIFY(OpenActive());
        Focus(kInput);
        Press(Qt::Key_1);
        rec_->log.clear();
        Press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), Widget(kReadOutA));
        QCOMPARE(Bytes(window_->ReadText(kInput)), QByteArray("1"));
        QCOMPARE(LogText(rec_->log), QString());
    }

    void enterReachesOnlyTheInputBox_data() {
        QTest::addColumn<ControlId>("focus");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("expectedLog");
        const QString nothing;
        for (const auto& [name, key] :
             {std::pair{"Return", Qt::Key_Return}, std::pair{"keypad Enter", Qt::Key_Enter}}) {
            QTest::addRow("%s on compute button", name) << kCompute << key << nothing;
            QTest::addRow("%s on clear button", name) << kClear << key << nothing;
            QTest::addRow("%s on read-out box", name) << kReadOutA << key << nothing;
            QTest::addRow("%s in input box", name)
                << kInput << key << QStringLiteral("changed:input");
        }
    }

    void enterReachesOnlyTheInputBox() {
        QFETCH(ControlId, focus);
        QFETCH(Qt::Key, key);
        QFETCH(QString, expectedLog);
        QVERIFY(OpenActive());
        window_->WriteText(kReadOutA, "3");
        Focus(focus);
        rec_->log.clear();
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        Press(key, modifiers);
        QCOMPARE(LogText(rec_->log), expectedLog);
        QCOMPARE(QApplication::focusWidget(), Widget(focus));  // Enter moves no focus
        QCOMPARE(Bytes(window_->ReadText(kInput)),
                 focus == kInput ? QByteArray("\r\n") : QByteArray());
        QCOMPARE(Bytes(window_->ReadText(kReadOutA)), QByteArray("3"));
    }

    void spaceClicksTheFocusedButton_data() {
        QTest::addColumn<ControlId>("button");
        QTest::addColumn<QString>("expectedLog");
        QTest::newRow("compute") << kCompute << QStringLiteral("clicked:compute");
        QTest::newRow("keypad") << kKeypad << QStringLiteral("clicked:keypad");
    }

    void spaceClicksTheFocusedButton() {
        QFETCH(ControlId, button);
        QFETCH(QString, expectedLog);
        QVERIFY(OpenActive());
        Focus(button);
        rec_->log.clear();
        Press(Qt::Key_Space);
        QCOMPARE(LogText(rec_->log), expectedLog);
        rec_->log.clear();
        QTest::mouseClick(Widget(button), Qt::LeftButton);
        QCOMPARE(LogText(rec_->log), expectedLog);
    }

    void escapeClosesFromAnyControl_data() {
        QTest::addColumn<ControlId>("focus");
        for (const ControlId id : kFocusOrder) QTest::newRow(NameOf(id).c_str()) << id;
    }

    void escapeClosesFromAnyControl() {
        QFETCH(ControlId, focus);
        QVERIFY(OpenActive());
        window_->WriteText(kInput, "unsaved\r\ninput");
        QPointer<QWidget> widget = window_->Widget();
        Focus(focus);
        rec_->log.clear();
        Press(Qt::Key_Escape);
        QVERIFY(!window_->IsOpen());
        QVERIFY(!widget || !widget->isVisible());
        QCOMPARE(LogText(rec_->log), QString());  // nothing asked, nothing confirmed
        FlushDeferredDeletes();
        QVERIFY(!widget);
    }

    void keysWithOtherModifiersAreLeftAlone() {
        QVERIFY(OpenActive());
        Focus(kInput);
        Press(Qt::Key_Escape, Qt::ShiftModifier);
        Press(Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(window_->IsOpen());
        Press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(Bytes(window_->ReadText(kInput)).contains('\t'), false);
        Focus(kCompute);
        Press(Qt::Key_Escape, Qt::AltModifier);
        Press(Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(window_->IsOpen());
        QCOMPARE(LogText(rec_->log), QStringLiteral("created"));
    }

    void closeDestroysTheWindow() {
        QVERIFY(OpenActive());
        QPointer<QWidget> widget = window_->Widget();
        window_->Close();
        QVERIFY(!window_->IsOpen());
        QVERIFY(!window_->Widget());
        window_->Close();  // twice is harmless
        FlushDeferredDeletes();
        QVERIFY(!widget);
    }

    void closeFromInsideAHandler() {
        QVERIFY(OpenActive());
        rec_->onClear = [&] { rec_->window->Close(); };
        QTest::mouseClick(Widget(kClear), Qt::LeftButton);
        QCOMPARE(LogText(rec_->log), QStringLiteral("created, clicked:clear, clicked:clear:end"));
        QVERIFY(!window_->IsOpen());
    }

    void focusComesBackOnReactivation() {
        QVERIFY(OpenActive());
        Focus(kReadOutA);
        QWidget other;
        other.setWindowTitle(QStringLiteral("other"));
        other.resize(100, 100);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(!window_->Widget()->isActiveWindow());
        window_->Widget()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_->Widget()));
        QCOMPARE(QApplication::focusWidget(), Widget(kReadOutA));
    }

    // --- Look, place and size -------------------------------------------------------------

    void controlsArePlacedAsDefined_data() {
        QTest::addColumn<int>("index");
        const auto& controls = TestDefinition().controls;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            QTest::newRow(NameOf(controls[i].id).c_str()) << static_cast<int>(i);
        }
    }

    void controlsArePlacedAsDefined() {
        QFETCH(int, index);
        QVERIFY(OpenActive());
        const auto& definition = TestDefinition().controls[static_cast<std::size_t>(index)];
        QWidget* control = Widget(definition.id);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), window_->Widget());
        QCOMPARE(control->geometry(),
                 QRect(definition.left, definition.top, definition.width, definition.height));
        QCOMPARE(
            control->objectName(),
            QString::fromUtf8(definition.name.data(), static_cast<int>(definition.name.size())));
        QCOMPARE(control->accessibleName(),
                 QString::fromUtf8(definition.accessibleName.data(),
                                   static_cast<int>(definition.accessibleName.size())));
        QVERIFY(control->isVisible());
        QVERIFY(control->isEnabled());
        const bool takesFocus = definition.kind != ControlKind::Label;
        QCOMPARE(control->focusPolicy() != Qt::NoFocus, takesFocus);
    }

    void windowHasFixedOuterSizeAndIsCentred() {
        QVERIFY(OpenActive());
        QWidget* window = window_->Widget();
        QCOMPARE(window->windowTitle(), QStringLiteral("测试窗口"));
        QCOMPARE(window->frameGeometry().size(), QSize(284, 258));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint centred(screen.x() + (screen.width() - 284) / 2,
                             screen.y() + (screen.height() - 258) / 2);
        QCOMPARE(window->frameGeometry().topLeft(), centred);
        QCOMPARE(window->minimumSize(), window->maximumSize());  // not resizable
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QVERIFY(!(flags & Qt::WindowStaysOnTopHint));
        QVERIFY(window->isWindow() && !window->parentWidget());
        QVERIFY(window->autoFillBackground());
        QCOMPARE(window->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::Button));
        QVERIFY(!window->windowIcon().isNull());
    }

    void labelsArePlainBlackTextOnButtonFace() {
        QVERIFY(OpenActive());
        auto* ampersand = qobject_cast<QLabel*>(Widget(kAmpersandLabel));
        QVERIFY(ampersand);
        QCOMPARE(ampersand->textFormat(), Qt::PlainText);
        QCOMPARE(ampersand->text(), QStringLiteral("R&D"));  // no mnemonic made of '&'
        QCOMPARE(Bytes(window_->ReadText(kAmpersandLabel)), QByteArray("R&D"));
        window_->WriteText(kAmpersandLabel, "<b>bold</b>");
        QCOMPARE(ampersand->text(), QStringLiteral("<b>bold</b>"));
        QCOMPARE(ampersand->textFormat(), Qt::PlainText);

        for (const ControlId id : {kAmpersandLabel, kMeanLabel, kCountLabel}) {
            auto* label = qobject_cast<QLabel*>(Widget(id));
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->palette().color(QPalette::Window),
                     QApplication::palette().color(QPalette::Button));
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));
            QCOMPARE(label->font(), QApplication::font());
        }
        auto* single = qobject_cast<QLabel*>(Widget(kMeanLabel));
        QCOMPARE(single->alignment(), Qt::AlignRight | Qt::AlignVCenter);
        QVERIFY(!single->wordWrap());
        auto* wrapped = qobject_cast<QLabel*>(Widget(kCountLabel));
        QCOMPARE(wrapped->alignment(), Qt::AlignLeft | Qt::AlignTop);
        QVERIFY(wrapped->wordWrap());
        // The Chinese caption needs more than one line in 80 pixels, so it breaks between
        // characters rather than running out of the label.
        QVERIFY(wrapped->heightForWidth(80) > wrapped->fontMetrics().height());
    }

    void buttonsShareOneFontAndAreNeverDefault() {
        QVERIFY(OpenActive());
        for (const ControlId id : {kCompute, kClear, kKeypad}) {
            auto* button = qobject_cast<QPushButton*>(Widget(id));
            QVERIFY(button);
            QVERIFY(!button->autoDefault());
            QVERIFY(!button->isDefault());
            QCOMPARE(button->font().pixelSize(), 24);
            QCOMPARE(button->font().weight(), QFont::Normal);
            QVERIFY(!button->font().italic() && !button->font().underline());
        }
        QCOMPARE(qobject_cast<QPushButton*>(Widget(kCompute))->text(), QStringLiteral("计 算"));
        QCOMPARE(Bytes(window_->ReadText(kClear)), Bytes(Gbk("清 空")));
        // An ampersand in a caption is shown as itself and makes no shortcut.
        window_->WriteText(kKeypad, "A&B");
        QCOMPARE(qobject_cast<QPushButton*>(Widget(kKeypad))->shortcut(), QKeySequence());
        QCOMPARE(Bytes(window_->ReadText(kKeypad)), QByteArray("A&B"));
    }

    void editBoxesAreBlackOnWhite() {
        QVERIFY(OpenActive());
        for (const ControlId id : {kInput, kReadOutA, kReadOutB}) {
            QWidget* box = Widget(id);
            QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(box->palette().color(QPalette::Text), QColor(Qt::black));
            QCOMPARE(box->font(), QApplication::font());
        }
        QVERIFY(qobject_cast<QLineEdit*>(Widget(kReadOutA))->isReadOnly());
        QVERIFY(!Input()->isReadOnly());
        QCOMPARE(Input()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(Input()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    // --- Message box and application --------------------------------------------------------

    void showMessageIsAnApplicationModalInformationBox() {
        QString title, text;
        int buttons = -1;
        bool okButton = false, information = false, applicationModal = false, noParent = false;
        bool closedByUs = false;
        std::function<void()> intercept = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {  // not up yet: look again on the next pass of the loop
                QTimer::singleShot(0, this, intercept);
                return;
            }
            title = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            okButton = box->button(QMessageBox::Ok) != nullptr;
            information = box->icon() == QMessageBox::Information;
            applicationModal = box->windowModality() == Qt::ApplicationModal;
            noParent = box->parentWidget() == nullptr;
            closedByUs = true;
            QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
        };
        QTimer::singleShot(0, this, intercept);
        quorvel::window::ShowMessage(Gbk("请输入要计算的数据 <b>&"));
        QVERIFY(closedByUs);  // it returned only after the box was closed
        QCOMPARE(title, QStringLiteral("信息："));
        QCOMPARE(text, QStringLiteral("请输入要计算的数据 <b>&"));
        QCOMPARE(buttons, 1);
        QVERIFY(okButton);
        QVERIFY(information);
        QVERIFY(applicationModal);
        QVERIFY(noParent);
    }

    void applicationIdentifiesTheProgram() {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Quorvel"));
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("quorvel"));
        QVERIFY(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
        const QImage icon(QStringLiteral(":/quorvel/quorvel.png"));
        QCOMPARE(icon.size(), QSize(32, 32));
        QVERIFY(icon.hasAlphaChannel());
    }

    void messageLoopEndsWhenTheLastWindowCloses() {
        QVERIFY(OpenActive());
        QTimer::singleShot(0, this, [this] { Press(Qt::Key_Escape); });
        QCOMPARE(application_->RunMessageLoop(), 0);
        QVERIFY(!window_->IsOpen());
        // With no window open there is no loop to run.
        QCOMPARE(application_->RunMessageLoop(), 0);
    }

public:
    quorvel::window::Application* application_ = nullptr;
};

int main(int argc, char** argv) {
    quorvel::window::Application application(argc, argv);
    TestWindow test;
    test.application_ = &application;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_window.moc"
