#include "platform/scriptcontrol/js_engine.h"

#include <cstdlib>
#include <mutex>
#include <utility>

// The execution time limit of a context group is exported by JavaScriptCore but declared
// only in its private headers. The prototypes are JavaScriptCore's JSContextRefPrivate.h:
// the callback returns true to end the running script.
extern "C" {
typedef bool (*JSShouldTerminateCallback)(JSContextRef context, void* userData);
JS_EXPORT void JSContextGroupSetExecutionTimeLimit(JSContextGroupRef group, double limitSeconds,
                                                   JSShouldTerminateCallback callback,
                                                   void* userData);
JS_EXPORT void JSContextGroupClearExecutionTimeLimit(JSContextGroupRef group);
}

namespace quorvel::scriptcontrol {
namespace {

using automation::Variant;

// Owns one engine string.
class JsString {
public:
    explicit JsString(std::u16string_view text)
        : string_(JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(text.data()),
                                               text.size())) {}
    explicit JsString(JSStringRef adopted) : string_(adopted) {}
    JsString(JsString&& other) noexcept : string_(std::exchange(other.string_, nullptr)) {}
    ~JsString() {
        if (string_) JSStringRelease(string_);
    }
    JsString(const JsString&) = delete;
    JsString& operator=(const JsString&) = delete;

    JSStringRef get() const { return string_; }
    std::u16string ToUtf16() const {
        const size_t length = JSStringGetLength(string_);
        if (length == 0) return {};
        const auto* chars = reinterpret_cast<const char16_t*>(JSStringGetCharactersPtr(string_));
        return std::u16string(chars, length);
    }

private:
    JSStringRef string_;
};

// Keeps one engine value alive while native code holds it.
class ProtectedValue {
public:
    ProtectedValue(JSContextRef context, JSValueRef value) : context_(context), value_(value) {
        JSValueProtect(context_, value_);
    }
    ~ProtectedValue() { JSValueUnprotect(context_, value_); }
    ProtectedValue(const ProtectedValue&) = delete;
    ProtectedValue& operator=(const ProtectedValue&) = delete;

    JSValueRef get() const { return value_; }

private:
    JSContextRef context_;
    JSValueRef value_;
};

JSValueRef ToEngineValue(JSContextRef context, const Variant& value) {
    switch (value.kind()) {
        case Variant::Kind::Empty: return JSValueMakeUndefined(context);
        case Variant::Kind::String: {
            // A compact ASCII string goes in as UTF-8 and the engine keeps it one byte per
            // character. The engine first decodes it into a UTF-16 buffer of its own, which
            // for a text of megabytes is most of what an argument costs; passing UTF-16, or
            // the text in pieces joined by the engine, measured slower, and a string that
            // borrowed our buffer could outlive it.
            const automation::String& text = value.string();
            const JsString string =
                text.isCompact() ? JsString(JSStringCreateWithUTF8CString(text.compact().c_str()))
                                 : JsString(text.wide());
            return JSValueMakeString(context, string.get());
        }
        case Variant::Kind::Int32: return JSValueMakeNumber(context, value.int32());
        case Variant::Kind::Double: return JSValueMakeNumber(context, value.number());
        case Variant::Kind::Bool: return JSValueMakeBoolean(context, value.boolean());
    }
    return JSValueMakeUndefined(context);
}

bool TerminateScript(JSContextRef, void* timedOut) {
    *static_cast<bool*>(timedOut) = true;
    return true;
}

// Measures the time of one step in the engine's work.
class StepTimer {
public:
    explicit StepTimer(std::chrono::nanoseconds& total)
        : total_(total), start_(std::chrono::steady_clock::now()) {}
    ~StepTimer() { total_ = std::chrono::steady_clock::now() - start_; }
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

private:
    std::chrono::nanoseconds& total_;
    std::chrono::steady_clock::time_point start_;
};

// JavaScriptCore stops a script at its time limit by raising a trap in the running code.
// By default the trap reaches compiled code through signals, which this build of the
// engine sometimes loses: a second endless loop after an interrupted one could then run
// for ever. With polling traps, compiled loops check for the trap themselves. The engine
// reads its options from the environment once, when its first context group is made.
void UsePollingTraps() {
    static std::once_flag once;
    std::call_once(once, [] { setenv("JSC_usePollingTraps", "1", 1); });
}

}  // namespace

JsEngine::JsEngine() : group_((UsePollingTraps(), JSContextGroupCreate())) { Reset(); }

JsEngine::~JsEngine() = default;

void JsEngine::Reset() {
    context_.reset();
    context_.reset(JSGlobalContextCreateInGroup(group_.get(), nullptr));
}

void JsEngine::SetTimeLimit(std::optional<std::chrono::milliseconds> limit) {
    if (limit) {
        const double seconds = std::chrono::duration<double>(*limit).count();
        JSContextGroupSetExecutionTimeLimit(group_.get(), seconds, TerminateScript, &timedOut_);
    } else if (timeLimited_) {
        JSContextGroupClearExecutionTimeLimit(group_.get());
    }
    timeLimited_ = limit.has_value();
}

Outcome JsEngine::Evaluate(std::u16string_view code, Variant& result) {
    const JsString script(code);
    JSValueRef exception = nullptr;
    timedOut_ = false;
    JSValueRef value;
    {
        const StepTimer timer(lastRunTime_);
        value = JSEvaluateScript(context_.get(), script.get(), nullptr, nullptr, 1, &exception);
    }
    return Finish(value, exception, result);
}

Outcome JsEngine::Call(std::u16string_view name, const Variant* arguments, size_t argumentCount,
                       Variant& result) {
    JSContextRef context = context_.get();
    JSValueRef exception = nullptr;
    const JsString functionName(name);
    const JSValueRef property =
        JSObjectGetProperty(context, JSContextGetGlobalObject(context), functionName.get(),
                            &exception);
    if (exception) return Outcome::ScriptError;
    if (!JSValueIsObject(context, property)) return Outcome::ScriptError;
    const JSObjectRef function = JSValueToObject(context, property, &exception);
    if (exception || !function || !JSObjectIsFunction(context, function)) {
        return Outcome::ScriptError;
    }
    const ProtectedValue protectedFunction(context, function);

    std::vector<std::unique_ptr<ProtectedValue>> owners;
    std::vector<JSValueRef> values;
    owners.reserve(argumentCount);
    values.reserve(argumentCount);
    {
        const StepTimer timer(lastArgumentTime_);
        for (size_t i = 0; i < argumentCount; ++i) {
            owners.push_back(
                std::make_unique<ProtectedValue>(context, ToEngineValue(context, arguments[i])));
            values.push_back(owners.back()->get());
        }
    }

    timedOut_ = false;
    JSValueRef value;
    {
        const StepTimer timer(lastRunTime_);
        value = JSObjectCallAsFunction(context, function, nullptr, values.size(), values.data(),
                                       &exception);
    }
    return Finish(value, exception, result);
}

Outcome JsEngine::Finish(JSValueRef value, JSValueRef exception, Variant& result) {
    result = Variant();
    JSContextRef context = context_.get();
    if (exception || !value) return timedOut_ ? Outcome::TimedOut : Outcome::ScriptError;
    switch (JSValueGetType(context, value)) {
        case kJSTypeUndefined:
        case kJSTypeNull: return Outcome::Success;
        case kJSTypeBoolean:
            result = Variant::FromBool(JSValueToBoolean(context, value));
            return Outcome::Success;
        case kJSTypeNumber:
            result = Variant::FromDouble(JSValueToNumber(context, value, nullptr));
            return Outcome::Success;
        default: {
            // Strings, and objects by their own string conversion, which may throw.
            JSValueRef conversionError = nullptr;
            JSStringRef string = JSValueToStringCopy(context, value, &conversionError);
            if (!string) return Outcome::ScriptError;
            const JsString owner(string);
            if (conversionError) return Outcome::ScriptError;
            result = Variant::FromString(owner.ToUtf16());
            return Outcome::Success;
        }
    }
}

}  // namespace quorvel::scriptcontrol
