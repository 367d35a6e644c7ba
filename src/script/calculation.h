// The calculation from the input box's text to the four statistics, without a window.
//
// The window's compute button and the command-line front end both go through Calculate,
// so the two give the same fields for the same lines.
#pragma once

#include <array>
#include <string_view>

#include "script/script_host.h"
#include "text/text.h"

namespace quorvel::script {

// The calculation script: defines the global function calculate(WBSJ), which takes the
// values joined by "," and answers "count|mean|sd|cv". 7-bit ASCII.
std::string_view CalcScript();

enum class CalculationStatus {
    Computed,    // fields hold count, mean, standard deviation, coefficient of variation
    EmptyInput,  // the input held no byte at all: tell the user EmptyInputMessage()
    NoResult,    // the engine gave no answer of four fields: nothing to show
};

struct Calculation {
    CalculationStatus status = CalculationStatus::NoResult;
    std::array<text::Text, 4> fields;
};

// `input` holds lines separated by CR LF. One line break at the very end is left out, so
// the script sees the lines the count label counts; every other line break becomes ",".
// The engine must already hold CalcScript().
Calculation Calculate(text::Text input, ScriptHost& host);

// The user-facing messages of the calculation, as GBK texts.
text::Text EmptyInputMessage();       // "请输入要计算的数据"
text::Text ScriptLoadFailedMessage();  // "计算脚本加载失败,请重试！"

}  // namespace quorvel::script
