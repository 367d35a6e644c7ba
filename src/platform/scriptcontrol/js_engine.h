// A JavaScript engine on JavaScriptCore's C API: one context group with one global context,
// code evaluation, calls of global functions by name, and an execution time limit.
//
// Every engine string and value is held by an RAII owner. Engine exceptions end here: each
// operation reports success or a script error as an Outcome, never throws.
#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/variant.h"

namespace quorvel::scriptcontrol {

enum class Outcome { Success, ScriptError, TimedOut };

class JsEngine {
public:
    JsEngine();
    ~JsEngine();
    JsEngine(const JsEngine&) = delete;
    JsEngine& operator=(const JsEngine&) = delete;

    // Runs `code` in the global scope; `result` gets its completion value.
    Outcome Evaluate(std::u16string_view code, automation::Variant& result);
    // Calls the global function `name` with `arguments`; calling a name that is not a
    // function is a script error.
    Outcome Call(std::u16string_view name, const automation::Variant* arguments,
                 size_t argumentCount, automation::Variant& result);
    // Discards all code and data: a fresh global context.
    void Reset();

    // Limits every later evaluation or call to `limit`; nothing means no limit.
    void SetTimeLimit(std::optional<std::chrono::milliseconds> limit);

    // Time spent inside the engine by the latest Evaluate or Call, conversions excluded.
    std::chrono::nanoseconds LastRunTime() const { return lastRunTime_; }
    // Time the latest Call took to make engine values of its arguments.
    std::chrono::nanoseconds LastArgumentTime() const { return lastArgumentTime_; }

private:
    struct GroupReleaser {
        void operator()(const OpaqueJSContextGroup* group) const { JSContextGroupRelease(group); }
    };
    struct ContextReleaser {
        void operator()(OpaqueJSContext* context) const { JSGlobalContextRelease(context); }
    };

    Outcome Finish(JSValueRef value, JSValueRef exception, automation::Variant& result);

    std::unique_ptr<const OpaqueJSContextGroup, GroupReleaser> group_;
    std::unique_ptr<OpaqueJSContext, ContextReleaser> context_;
    bool timeLimited_ = false;
    bool timedOut_ = false;
    std::chrono::nanoseconds lastRunTime_{0};
    std::chrono::nanoseconds lastArgumentTime_{0};
};

}  // namespace quorvel::scriptcontrol
