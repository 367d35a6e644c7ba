// Times the calculator window as a person uses it, on the real widgets and the real
// handlers, at 100,000 and 1,000,000 lines:
//  - one keystroke at the end of an input box that already holds the lines (a digit that
//    starts a new last line, or the Backspace that takes it away again): the key press with
//    the text-changed handler it runs, then with the repaint that follows;
//  - that handler alone (read the whole box, count the lines, write the count label), and
//    its read and count on their own;
//  - a paste of all lines (LF line breaks, as a Linux clipboard holds them) with Ctrl+V into
//    the empty box, until the key press has returned with the count shown;
//  - a click of the compute button until the read-outs are filled, against the calculation
//    alone on the same text as the box gives it.
// Every timed action is checked (count label, read-out count), so none can be a no-op.
//
// Run: build/bench/bench_window [repetitions [lines...]]
// on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise. Repetitions are those
// of a click, 9 by default; keystrokes run four times as often, the slow paste about a
// third as often. Lines are 100000 and 1000000 unless given.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/scriptcontrol/script_control.h"
#include "platform/window/application.h"
#include "script/calculation.h"
#include "script/script_host.h"
#include "bench_input.h"
#include "text/text.h"
#include "ui/handlers.h"
#include "ui/main_window.h"

namespace {

using namespace quorvel;
namespace id = ui::id;
using Clock = std::chrono::steady_clock;

// Each line ended by `lineBreak`, so the box's text ends in a line break and a digit typed
// at the end starts one more line.
std::string MakeLines(int lines, const char* lineBreak) {
    return bench::MakeLines(lines, lineBreak, true);
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

template <typename Action>
double TimeMs(Action&& action) {
    const auto start = Clock::now();
    action();
    return Ms(Clock::now() - start);
}

// 1000000 as "1,000,000".
std::string Grouped(int value) {
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

[[noreturn]] void Fail(const char* what, int lines) {
    std::fprintf(stderr, "bench_window: %s at %d lines\n", what, lines);
    std::exit(1);
}

// Qt's offscreen platform warns each time a fixed-size window is shown; nothing else is
// dropped.
void DropSizeHintWarning(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message == QLatin1String("This plugin does not support propagateSizeHints()")) return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class Bench {
public:
    explicit Bench(script::ScriptHost& host) {
        main_ = ui::MainWindow::Show(host, {});
        if (!main_ || !main_->window()) Fail("no main window", 0);
        if (!QTest::qWaitForWindowExposed(Window().Widget())) Fail("window not shown", 0);
    }

    window::Window& Window() const { return *main_->window(); }
    QPlainTextEdit* Input() const {
        return static_cast<QPlainTextEdit*>(Window().Control(id::k编辑框1));
    }
    QString Caption(window::ControlId control) const {
        QWidget* widget = Window().Control(control);
        if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
        return static_cast<QLineEdit*>(widget)->text();
    }
    bool CountShows(int lines) const {
        return Caption(id::k标签5) == QStringLiteral("当前待计算数有：%1 个").arg(lines);
    }

private:
    std::unique_ptr<ui::MainWindow> main_;
};

struct Row {
    const char* name;
    int runs;
    std::map<int, double> ms;  // by line count
    const char* target;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(DropSizeHintWarning);
    const int clicks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const int keystrokes = 4 * clicks;
    const int pastes = std::max(1, clicks / 3) | 1;  // odd, for a true median
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::max(1, std::atoi(argv[i])));
    if (sizes.empty()) sizes = {100000, 1000000};
    int qtArgc = 1;
    window::Application application(qtArgc, argv);  // the program's own, as it starts

    script::ScriptHost host(scriptcontrol::StandardRegistry());
    if (!host.ExecuteStatement(script::CalcScript())) {
        Fail("the calculation script did not load", 0);
    }
    Bench bench(host);
    window::Window& window = bench.Window();
    QPlainTextEdit* const input = bench.Input();
    QWidget* const computeButton = window.Control(id::k按钮_计算);

    Row keyPress{"keystroke: key press with handler", keystrokes, {}, "< 16 ms at 100,000"};
    Row keyRepaint{"keystroke: with the repaint after it", keystrokes, {}, ""};
    Row handler{"handler alone: read, count, caption", keystrokes, {}, ""};
    Row read{"  read the whole box (CR LF, GBK)", keystrokes, {}, ""};
    Row count{"  count the lines (pieces at CR LF)", keystrokes, {}, ""};
    Row paste{"paste with Ctrl+V into the empty box", pastes, {}, ""};
    Row click{"compute click, read-outs filled", clicks, {}, ""};
    Row compute{"compute path alone (Calculate)", clicks, {}, ""};
    std::map<int, double> ratio;

    for (const int lines : sizes) {
        // The lines as the program writes them, ending in a line break.
        window.WriteText(id::k编辑框1, MakeLines(lines, "\r\n"));
        if (!bench.CountShows(lines)) Fail("count label wrong after the write", lines);
        input->setFocus();
        input->moveCursor(QTextCursor::End);
        QApplication::processEvents();

        // 1. Keystrokes: a digit starts line lines+1, Backspace takes it away.
        std::vector<double> press, withRepaint;
        for (int r = 0; r < keystrokes; ++r) {
            const bool digit = r % 2 == 0;
            const auto start = Clock::now();
            QTest::keyClick(input, digit ? Qt::Key_7 : Qt::Key_Backspace);
            const auto pressed = Clock::now();
            QApplication::processEvents();
            const auto painted = Clock::now();
            if (!bench.CountShows(digit ? lines + 1 : lines)) {
                Fail("count label wrong after a key", lines);
            }
            press.push_back(Ms(pressed - start));
            withRepaint.push_back(Ms(painted - start));
        }
        if (input->document()->blockCount() != lines + 1) {
            Fail("keystrokes left the text changed", lines);
        }
        keyPress.ms[lines] = Median(press);
        keyRepaint.ms[lines] = Median(withRepaint);

        // The handler alone, and its read and count on their own.
        std::vector<double> whole, reading, counting;
        for (int r = 0; r < keystrokes; ++r) {
            window.WriteText(id::k标签5, {});
            whole.push_back(TimeMs([&] { ui::OnInputChanged(window); }));
            if (!bench.CountShows(lines)) Fail("the handler wrote a wrong count", lines);
            text::Text text;
            reading.push_back(TimeMs([&] { text = window.ReadText(id::k编辑框1); }));
            size_t pieces = 0;
            counting.push_back(TimeMs([&] { pieces = text::CountPieces(text, "\r\n"); }));
            if (pieces != static_cast<size_t>(lines)) Fail("wrong line count", lines);
        }
        handler.ms[lines] = Median(whole);
        read.ms[lines] = Median(reading);
        count.ms[lines] = Median(counting);

        // 3. The compute button, and the calculation alone on the box's own text, taken
        // in turns so that both meet the engine and the heap in the same state.
        const QString expectedCount = QString::number(lines);
        const text::Text boxText = window.ReadText(id::k编辑框1);
        std::vector<double> clicked, alone;
        for (int r = 0; r < clicks; ++r) {
            window.WriteText(id::k编辑框_计算总数, {});
            clicked.push_back(TimeMs([&] { QTest::mouseClick(computeButton, Qt::LeftButton); }));
            if (bench.Caption(id::k编辑框_计算总数) != expectedCount) {
                Fail("compute click showed no count", lines);
            }
            script::Calculation calculation;
            text::Text input = boxText;  // the handler's own copy, read from the box
            alone.push_back(
                TimeMs([&] { calculation = script::Calculate(std::move(input), host); }));
            if (calculation.status != script::CalculationStatus::Computed ||
                calculation.fields[0] != std::to_string(lines)) {
                Fail("the calculation gave a wrong count", lines);
            }
        }
        click.ms[lines] = Median(clicked);
        compute.ms[lines] = Median(alone);
        ratio[lines] = click.ms[lines] / compute.ms[lines];

        // 2. Paste: all lines on the clipboard, Ctrl+V in the emptied box.
        std::string clipboard = MakeLines(lines, "\n");
        clipboard.pop_back();  // a copied block of lines ends with its last value
        QGuiApplication::clipboard()->setText(
            QString::fromLatin1(clipboard.data(), static_cast<qsizetype>(clipboard.size())));
        std::vector<double> pasted;
        for (int r = 0; r < pastes; ++r) {
            window.WriteText(id::k编辑框1, {});
            QApplication::processEvents();
            if (!bench.CountShows(0)) Fail("box not emptied", lines);
            input->setFocus();
            pasted.push_back(
                TimeMs([&] { QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier); }));
            if (!bench.CountShows(lines) || input->document()->blockCount() != lines) {
                Fail("paste gave a wrong count", lines);
            }
            QApplication::processEvents();
        }
        paste.ms[lines] = Median(pasted);
        window.WriteText(id::k编辑框1, {});
        QApplication::processEvents();
    }

    std::printf(
        "calculator window on Qt's %s platform, median ms (runs: keystrokes %d, clicks %d, pastes "
        "%d)\n",
        qPrintable(QGuiApplication::platformName()), keystrokes, clicks, pastes);
    std::printf("%-40s %5s", "lines:", "runs");
    for (const int lines : sizes) std::printf(" %12s", Grouped(lines).c_str());
    std::printf("   target\n");
    for (const Row* row :
         {&keyPress, &keyRepaint, &handler, &read, &count, &paste, &click, &compute}) {
        std::printf("%-40s %5d", row->name, row->runs);
        for (const int lines : sizes) std::printf(" %12.1f", row->ms.at(lines));
        if (*row->target != '\0') std::printf("   %s", row->target);
        std::printf("\n");
    }
    std::printf("%-40s %5s", "compute click / compute path alone", "");
    for (const int lines : sizes) std::printf(" %12.2f", ratio.at(lines));
    std::printf("   %s\n", "<= 1.5 at 1,000,000");
    return 0;
}
