#include "ui/handlers.h"

#include "platform/codepage/codepage.h"
#include "platform/process/process.h"
#include "script/calculation.h"
#include "text/text.h"
#include "ui/main_window.h"

namespace quorvel::ui {

void OnInputChanged(window::Window& window) {
    static const text::Text kPrefix = codepage::GbkFromUtf8("当前待计算数有：");
    static const text::Text kSuffix = codepage::GbkFromUtf8(" 个");
    const text::Text input = window.ReadText(id::k编辑框1);
    const size_t count = text::CountPieces(input, "\r\n");
    window.WriteText(id::k标签5, kPrefix + text::IntToText(static_cast<long long>(count)) + kSuffix);
}

void OnClearClicked(window::Window& window) {
    // The first write raises the input box's text-changed event, which resets the count.
    window.WriteText(id::k编辑框1, {});
    window.WriteText(id::k编辑框_标准差, {});
    window.WriteText(id::k编辑框_平均数, {});
    window.WriteText(id::k编辑框_变异系数, {});
    window.WriteText(id::k编辑框_计算总数, {});
}

void OnKeypadClicked() {
    // Whether the keyboard started is not reported: a click that starts nothing does nothing.
    process::StartProgram("osk", process::WaitMode::DoNotWait, process::ShowMode::Normal);
}

void OnComputeClicked(window::Window& window, script::ScriptHost& host) {
    const script::Calculation calculation = script::Calculate(window.ReadText(id::k编辑框1), host);
    switch (calculation.status) {
        case script::CalculationStatus::EmptyInput:
            window::ShowMessage(script::EmptyInputMessage());
            return;
        case script::CalculationStatus::NoResult:
            return;  // the read-outs keep what they showed
        case script::CalculationStatus::Computed:
            window.WriteText(id::k编辑框_计算总数, calculation.fields[0]);
            window.WriteText(id::k编辑框_平均数, calculation.fields[1]);
            window.WriteText(id::k编辑框_标准差, calculation.fields[2]);
            window.WriteText(id::k编辑框_变异系数, calculation.fields[3]);
            return;
    }
}

}  // namespace quorvel::ui
