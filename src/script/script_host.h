// ScriptHost: the program's one gateway to the script engine, the "ScriptControl" automation
// object, whose members it forwards by name.
//
// Every engine call is synchronous, never throws and never shows anything. A failure gives
// the empty value of the kind asked for (empty text, 0, false), and the outcome of the
// latest call on this thread is kept for LastError, as one of a fixed set of texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/automation/object.h"
#include "platform/automation/registry.h"
#include "text/text.h"

namespace quorvel::script {

using text::Text;

// The outcomes of an engine call, in the order of their texts (see OutcomeText).
enum class CallOutcome {
    Success,
    NoEngine,
    NoDispatch,
    NoTypeInfo,
    UnknownName,
    TooManyArguments,
    BadParamCount,
    BadVarType,
    Exception,
    MemberNotFound,
    NoNamedArgs,
    Overflow,
    ParamNotFound,
    TypeMismatch,
    ParamNotOptional,
    OtherFailure,
    ResultTypeMismatch,
};

// The text LastError gives for an outcome (GBK): empty for success.
Text OutcomeText(CallOutcome outcome);

class ScriptHost {
public:
    using OptionalArgument = std::optional<std::string_view>;

    // Initialises COM on this thread, creates the engine from the registry and selects
    // JScript. Never fails: without an engine, every call fails with "对象为空".
    explicit ScriptHost(const automation::ObjectRegistry& registry);
    // Releases the engine, then uninitialises COM once.
    ~ScriptHost();
    // One owner: the engine's COM pairing belongs to exactly one host.
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // True exactly when the engine ran `code` without failure; its value is dropped.
    bool ExecuteStatement(std::string_view code);
    Text Eval(std::string_view expression);
    void Reset();
    void AddCode(std::string_view code);
    // Calls the procedure with the leading run of given arguments: an argument after one
    // that is not given is not passed.
    Text Run(std::string_view procedure, OptionalArgument argument1 = std::nullopt,
             OptionalArgument argument2 = std::nullopt, OptionalArgument argument3 = std::nullopt,
             OptionalArgument argument4 = std::nullopt, OptionalArgument argument5 = std::nullopt,
             OptionalArgument argument6 = std::nullopt);
    // Run with one argument that the caller hands over, so that a large text reaches the
    // engine without a copy of its own on the way.
    Text RunWithText(std::string_view procedure, Text argument);

    // Code 0 selects "JScript", 1 asks for "vbs", any other code writes nothing; then the
    // current language is read.
    Text Language(std::int32_t code = 0);
    // Writes the value, or -1 when none is given, then reads the timeout back.
    std::int64_t Timeout(std::optional<std::int32_t> value = std::nullopt);
    // These three write only a given value, then read the property back.
    std::int64_t State(std::optional<std::int32_t> value = std::nullopt);
    bool AllowUI(std::optional<bool> value = std::nullopt);
    std::int64_t SitehWnd(std::optional<std::int32_t> value = std::nullopt);

    // The text of the latest engine call's outcome on this thread: empty after success.
    Text LastError() const;
    // A new counted reference to the engine object; empty if there is none.
    automation::ObjectRef EngineObject() const;

private:
    enum class Wanted { Nothing, Text, Number, Boolean };
    struct Answer {
        Text text;
        double number = 0;
        bool boolean = false;
    };

    // The engine call routine: one late-bound call, its outcome recorded for LastError.
    Answer CallEngine(automation::InvokeKind kind, std::u16string_view member,
                      std::vector<automation::Variant> arguments, Wanted wanted);
    CallOutcome Invoke(automation::InvokeKind kind, std::u16string_view member,
                       const std::vector<automation::Variant>& arguments,
                       automation::Variant& result);
    std::int64_t WriteThenReadNumber(std::u16string_view property,
                                     std::optional<std::int32_t> value);

    automation::ObjectRef engine_;
};

}  // namespace quorvel::script
