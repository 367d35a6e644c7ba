#include "script/calculation.h"

#include "platform/codepage/codepage.h"
#include "text/batch_replace.h"

namespace quorvel::script {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// A line break after the last line ends that line; it does not start an empty one.
std::string_view WithoutFinalLineBreak(std::string_view input) {
    if (input.size() >= kLineBreak.size() &&
        input.substr(input.size() - kLineBreak.size()) == kLineBreak &&
        text::IsCharacterStart(input, input.size() - kLineBreak.size())) {
        input.remove_suffix(kLineBreak.size());
    }
    return input;
}

}  // namespace

Calculation Calculate(std::string_view input, ScriptHost& host) {
    Calculation calculation;
    if (input.empty()) {
        calculation.status = CalculationStatus::EmptyInput;
        return calculation;
    }
    const text::Text data = text::BatchReplace(WithoutFinalLineBreak(input), std::nullopt,
                                               std::nullopt, std::nullopt, kLineBreak, ",");
    const text::Text result = host.Run("calculate", data);
    text::TextArray pieces = text::SplitText(result, "|");
    if (pieces.size() != calculation.fields.size()) return calculation;
    for (size_t i = 0; i < pieces.size(); ++i) calculation.fields[i] = std::move(pieces[i]);
    calculation.status = CalculationStatus::Computed;
    return calculation;
}

text::Text EmptyInputMessage() { return codepage::GbkFromUtf8("请输入要计算的数据"); }

text::Text ScriptLoadFailedMessage() { return codepage::GbkFromUtf8("计算脚本加载失败,请重试！"); }

}  // namespace quorvel::script
