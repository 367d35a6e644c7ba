#include "script/script_host.h"

#include <cmath>
#include <limits>
#include <utility>

#include "platform/automation/apartment.h"
#include "platform/codepage/codepage.h"

namespace quorvel::script {
namespace {

using automation::HResult;
using automation::InvokeKind;
using automation::Variant;
namespace hr = automation::hr;

constexpr std::string_view kEngineProgId = "ScriptControl";

CallOutcome& LastOutcome() {
    thread_local CallOutcome outcome = CallOutcome::Success;
    return outcome;
}

CallOutcome OutcomeOfInvoke(HResult result) {
    if (automation::Succeeded(result)) return CallOutcome::Success;
    switch (result) {
        case hr::DISP_E_BADPARAMCOUNT: return CallOutcome::BadParamCount;
        case hr::DISP_E_BADVARTYPE: return CallOutcome::BadVarType;
        case hr::DISP_E_EXCEPTION: return CallOutcome::Exception;
        case hr::DISP_E_MEMBERNOTFOUND: return CallOutcome::MemberNotFound;
        case hr::DISP_E_NONAMEDARGS: return CallOutcome::NoNamedArgs;
        case hr::DISP_E_OVERFLOW: return CallOutcome::Overflow;
        case hr::DISP_E_PARAMNOTFOUND: return CallOutcome::ParamNotFound;
        case hr::DISP_E_TYPEMISMATCH: return CallOutcome::TypeMismatch;
        case hr::DISP_E_PARAMNOTOPTIONAL: return CallOutcome::ParamNotOptional;
        default: return CallOutcome::OtherFailure;
    }
}

// ASCII bytes are the same characters in GBK and in UTF-16, so ASCII text (the usual
// input: digits, points, commas) needs no conversion.
Variant TextArgument(Text gbk) {
    if (automation::String::IsAscii(gbk))
        return Variant::FromString(automation::String::FromAscii(std::move(gbk)));
    return Variant::FromString(codepage::Utf16FromGbk(gbk));
}

Variant TextArgument(std::string_view gbk) { return TextArgument(Text(gbk)); }

// A number read from the engine as a 64-bit integer, truncated toward zero.
std::int64_t TruncateToInt64(double number) {
    if (std::isnan(number)) return 0;
    constexpr double kLimit = 9223372036854775807.0;
    if (number >= kLimit) return std::numeric_limits<std::int64_t>::max();
    if (number <= -kLimit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(number);
}

}  // namespace

Text OutcomeText(CallOutcome outcome) {
    const char* utf8 = "";
    switch (outcome) {
        case CallOutcome::Success: utf8 = ""; break;
        case CallOutcome::NoEngine: utf8 = "对象为空"; break;
        case CallOutcome::NoDispatch: utf8 = "指定对象没有调用接口"; break;
        case CallOutcome::NoTypeInfo: utf8 = "指定对象没有类型信息"; break;
        case CallOutcome::UnknownName: utf8 = "未找到指定属性或方法"; break;
        case CallOutcome::TooManyArguments: utf8 = "提供了过多的参数"; break;
        case CallOutcome::BadParamCount: utf8 = "参数数目错误"; break;
        case CallOutcome::BadVarType: utf8 = "参数类型值无效"; break;
        case CallOutcome::Exception: utf8 = "发现异常"; break;
        case CallOutcome::MemberNotFound: utf8 = "未找到指定成员"; break;
        case CallOutcome::NoNamedArgs: utf8 = "不支持命名参数"; break;
        case CallOutcome::Overflow: utf8 = "溢出"; break;
        case CallOutcome::ParamNotFound: utf8 = "未找到指定参数"; break;
        case CallOutcome::TypeMismatch: utf8 = "类型不匹配"; break;
        case CallOutcome::ParamNotOptional: utf8 = "必需的参数数据被省略"; break;
        case CallOutcome::OtherFailure: utf8 = "其他原因调用失败"; break;
        case CallOutcome::ResultTypeMismatch: utf8 = "执行成功，但返回值类型不匹配"; break;
    }
    return codepage::GbkFromUtf8(utf8);
}

ScriptHost::ScriptHost(const automation::ObjectRegistry& registry) {
    automation::CoInitialize();
    registry.CreateObject(kEngineProgId, engine_);  // without an engine, calls fail later
    CallEngine(InvokeKind::PropertyPut, u"Language", {Variant::FromString(u"JScript")},
               Wanted::Nothing);
}

ScriptHost::~ScriptHost() {
    engine_.reset();
    automation::CoUninitialize();
}

CallOutcome ScriptHost::Invoke(InvokeKind kind, std::u16string_view member,
                               const std::vector<Variant>& arguments, Variant& result) {
    if (!engine_) return CallOutcome::NoEngine;
    const auto dispatch = automation::QueryDispatch(engine_);
    if (!dispatch) return CallOutcome::NoDispatch;
    const automation::TypeInfo* typeInfo = dispatch->GetTypeInfo();
    if (!typeInfo) return CallOutcome::NoTypeInfo;
    automation::DispId id = 0;
    if (automation::Failed(dispatch->GetIdOfName(member, id))) return CallOutcome::UnknownName;
    if (const auto* description = typeInfo->Describe(id, kind)) {
        const bool tooMany = arguments.size() > static_cast<size_t>(description->parameterCount);
        if (tooMany && !description->variableArguments) return CallOutcome::TooManyArguments;
    }
    return OutcomeOfInvoke(dispatch->Invoke(id, kind, arguments, result));
}

ScriptHost::Answer ScriptHost::CallEngine(InvokeKind kind, std::u16string_view member,
                                          std::vector<Variant> arguments, Wanted wanted) {
    Answer answer;
    Variant result;
    CallOutcome outcome = Invoke(kind, member, arguments, result);
    if (outcome == CallOutcome::Success) {
        HResult converted = hr::S_OK;
        switch (wanted) {
            case Wanted::Nothing: break;
            case Wanted::Text: {
                std::u16string text;
                converted = automation::ChangeToString(result, text);
                if (automation::Succeeded(converted)) answer.text = codepage::GbkFromUtf16(text);
                break;
            }
            case Wanted::Number:
                converted = automation::ChangeToNumber(result, answer.number);
                break;
            case Wanted::Boolean:
                converted = automation::ChangeToBool(result, answer.boolean);
                break;
        }
        if (automation::Failed(converted)) {
            answer = Answer();
            outcome = CallOutcome::ResultTypeMismatch;
        }
    }
    LastOutcome() = outcome;
    return answer;
}

bool ScriptHost::ExecuteStatement(std::string_view code) {
    CallEngine(InvokeKind::Method, u"ExecuteStatement", {TextArgument(code)}, Wanted::Number);
    return LastError().empty();
}

Text ScriptHost::Eval(std::string_view expression) {
    return CallEngine(InvokeKind::Method, u"Eval", {TextArgument(expression)}, Wanted::Text).text;
}

void ScriptHost::Reset() { CallEngine(InvokeKind::Method, u"Reset", {}, Wanted::Number); }

void ScriptHost::AddCode(std::string_view code) {
    CallEngine(InvokeKind::Method, u"AddCode", {TextArgument(code)}, Wanted::Number);
}

Text ScriptHost::Run(std::string_view procedure, OptionalArgument argument1,
                     OptionalArgument argument2, OptionalArgument argument3,
                     OptionalArgument argument4, OptionalArgument argument5,
                     OptionalArgument argument6) {
    std::vector<Variant> arguments;
    arguments.push_back(TextArgument(procedure));
    for (const OptionalArgument& argument :
         {argument1, argument2, argument3, argument4, argument5, argument6}) {
        if (!argument) break;
        arguments.push_back(TextArgument(*argument));
    }
    return CallEngine(InvokeKind::Method, u"Run", std::move(arguments), Wanted::Text).text;
}

Text ScriptHost::RunWithText(std::string_view procedure, Text argument) {
    std::vector<Variant> arguments;
    arguments.push_back(TextArgument(procedure));
    arguments.push_back(TextArgument(std::move(argument)));
    return CallEngine(InvokeKind::Method, u"Run", std::move(arguments), Wanted::Text).text;
}

Text ScriptHost::Language(std::int32_t code) {
    if (code == 0 || code == 1) {
        CallEngine(InvokeKind::PropertyPut, u"Language",
                   {Variant::FromString(code == 0 ? u"JScript" : u"vbs")}, Wanted::Nothing);
    }
    return CallEngine(InvokeKind::PropertyGet, u"Language", {}, Wanted::Text).text;
}

std::int64_t ScriptHost::WriteThenReadNumber(std::u16string_view property,
                                             std::optional<std::int32_t> value) {
    if (value) {
        CallEngine(InvokeKind::PropertyPut, property, {Variant::FromInt32(*value)},
                   Wanted::Nothing);
    }
    return TruncateToInt64(CallEngine(InvokeKind::PropertyGet, property, {}, Wanted::Number).number);
}

std::int64_t ScriptHost::Timeout(std::optional<std::int32_t> value) {
    return WriteThenReadNumber(u"Timeout", value.value_or(-1));
}

std::int64_t ScriptHost::State(std::optional<std::int32_t> value) {
    return WriteThenReadNumber(u"State", value);
}

std::int64_t ScriptHost::SitehWnd(std::optional<std::int32_t> value) {
    return WriteThenReadNumber(u"SitehWnd", value);
}

bool ScriptHost::AllowUI(std::optional<bool> value) {
    if (value) {
        CallEngine(InvokeKind::PropertyPut, u"AllowUI", {Variant::FromBool(*value)},
                   Wanted::Nothing);
    }
    return CallEngine(InvokeKind::PropertyGet, u"AllowUI", {}, Wanted::Boolean).boolean;
}

Text ScriptHost::LastError() const { return OutcomeText(LastOutcome()); }

automation::ObjectRef ScriptHost::EngineObject() const { return engine_; }

}  // namespace quorvel::script
