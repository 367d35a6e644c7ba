#include "script/calculation.h"

#include <utility>

#include "platform/codepage/codepage.h"
#include "text/batch_replace.h"

namespace quorvel::script {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A line break after the last line ends that line; it does not start an empty one.
void DropFinalLineBreak(text::Text& input) {
    if (input.size() < kLineBreak.size()) return;
    const size_t lastBreak = input.size() - kLineBreak.size();
    if (std::string_view(input).substr(lastBreak) == kLineBreak &&
        text::IsCharacterStart(input, lastBreak)) {
        input.resize(lastBreak);
    }
}

}  // namespace

Calculation Calculate(text::Text input, ScriptHost& host) {
    Calculation calculation;
    if (input.empty()) {
        calculation.status = CalculationStatus::EmptyInput;
        return calculation;
    }
    // The input is turned into the script's argument where it lies: at a million lines it
    // is megabytes, and every copy of it is time the user waits.
    DropFinalLineBreak(input);
    text::ReplaceInPlace(input, kLineBreak, ",", 1, std::nullopt, false);
    const text::Text result = host.RunWithText("calculate", std::move(input));
    text::TextArray pieces = text::SplitText(result, "|");
    if (pieces.size() != calculation.fields.size()) return calculation;
    for (size_t i = 0; i < pieces.size(); ++i) calculation.fields[i] = std::move(pieces[i]);
    calculation.status = CalculationStatus::Computed;
    return calculation;
}

text::Text EmptyInputMessage() { return codepage::GbkFromUtf8("请输入要计算的数据"); }

text::Text ScriptLoadFailedMessage() { return codepage::GbkFromUtf8("计算脚本加载失败,请重试！"); }

}  // namespace quorvel::script
