#include "platform/scriptcontrol/script_control.h"

#include <cmath>
#include <limits>

#include "platform/scriptcontrol/js_engine.h"

namespace quorvel::scriptcontrol {
namespace {

using automation::DispId;
using automation::HResult;
using automation::InvokeKind;
using automation::Variant;
namespace hr = automation::hr;

enum Member : DispId {
    kExecuteStatement = 1,
    kEval,
    kReset,
    kRun,
    kAddCode,
    kLanguage,
    kTimeout,
    kState,
    kAllowUI,
    kSitehWnd,
};

const automation::TypeInfo& ScriptControlTypeInfo() {
    static const automation::TypeInfo info([] {
        std::vector<automation::MemberDescription> members = {
            {u"ExecuteStatement", kExecuteStatement, InvokeKind::Method, 1, false},
            {u"Eval", kEval, InvokeKind::Method, 1, false},
            {u"Reset", kReset, InvokeKind::Method, 0, false},
            {u"Run", kRun, InvokeKind::Method, 1, true},
            {u"AddCode", kAddCode, InvokeKind::Method, 1, false},
        };
        for (const auto& [name, id] : {std::pair{u"Language", kLanguage}, {u"Timeout", kTimeout},
                                       {u"State", kState}, {u"AllowUI", kAllowUI},
                                       {u"SitehWnd", kSitehWnd}}) {
            members.push_back({name, id, InvokeKind::PropertyGet, 0, false});
            members.push_back({name, id, InvokeKind::PropertyPut, 1, false});
        }
        return members;
    }());
    return info;
}

HResult FromOutcome(Outcome outcome) {
    return outcome == Outcome::Success ? hr::S_OK : hr::DISP_E_EXCEPTION;
}

// A whole number in the range of a 32-bit integer.
HResult ToInt32(const Variant& value, std::int32_t& out) {
    double number = 0;
    if (const HResult result = automation::ChangeToNumber(value, number); automation::Failed(result))
        return result;
    if (std::isnan(number) || number != std::trunc(number)) return hr::DISP_E_TYPEMISMATCH;
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return hr::DISP_E_OVERFLOW;
    out = static_cast<std::int32_t>(number);
    return hr::S_OK;
}

bool IsJScript(std::u16string_view language) {
    constexpr std::u16string_view kJScript = u"jscript";
    if (language.size() != kJScript.size()) return false;
    for (size_t i = 0; i < language.size(); ++i) {
        const char16_t c = language[i];
        if (((c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c) != kJScript[i]) return false;
    }
    return true;
}

}  // namespace

ScriptControl::ScriptControl() : engine_(std::make_unique<JsEngine>()) { ApplyTimeout(); }

ScriptControl::~ScriptControl() = default;

const automation::TypeInfo* ScriptControl::GetTypeInfo() const { return &ScriptControlTypeInfo(); }

HResult ScriptControl::GetIdOfName(std::u16string_view name, DispId& id) const {
    const auto found = ScriptControlTypeInfo().FindName(name);
    if (!found) return hr::DISP_E_UNKNOWNNAME;
    id = *found;
    return hr::S_OK;
}

std::chrono::nanoseconds ScriptControl::LastRunTime() const { return engine_->LastRunTime(); }

std::chrono::nanoseconds ScriptControl::LastArgumentTime() const {
    return engine_->LastArgumentTime();
}

HResult ScriptControl::Invoke(DispId id, InvokeKind kind, const std::vector<Variant>& arguments,
                              Variant& result) {
    result = Variant();
    const bool isProperty = id >= kLanguage && id <= kSitehWnd;
    if (isProperty) {
        switch (kind) {
            case InvokeKind::PropertyPut:
                return arguments.size() == 1 ? WriteProperty(id, arguments[0])
                                             : hr::DISP_E_BADPARAMCOUNT;
            case InvokeKind::PropertyGet:
            case InvokeKind::Method:
                return arguments.empty() ? ReadProperty(id, result) : hr::DISP_E_BADPARAMCOUNT;
        }
    }
    if (kind != InvokeKind::Method) return hr::DISP_E_MEMBERNOTFOUND;
    switch (id) {
        case kExecuteStatement:
        case kAddCode: {
            Variant dropped;
            return RunCode(arguments, dropped);
        }
        case kEval: return RunCode(arguments, result);
        case kReset:
            if (!arguments.empty()) return hr::DISP_E_BADPARAMCOUNT;
            engine_->Reset();
            return hr::S_OK;
        case kRun: return CallProcedure(arguments, result);
        default: return hr::DISP_E_MEMBERNOTFOUND;
    }
}

HResult ScriptControl::RunCode(const std::vector<Variant>& arguments, Variant& result) {
    if (arguments.size() != 1) return hr::DISP_E_BADPARAMCOUNT;
    std::u16string code;
    if (const HResult r = automation::ChangeToString(arguments[0], code); automation::Failed(r))
        return r;
    return FromOutcome(engine_->Evaluate(code, result));
}

HResult ScriptControl::CallProcedure(const std::vector<Variant>& arguments, Variant& result) {
    if (arguments.empty()) return hr::DISP_E_BADPARAMCOUNT;
    std::u16string name;
    if (const HResult r = automation::ChangeToString(arguments[0], name); automation::Failed(r))
        return r;
    return FromOutcome(engine_->Call(name, arguments.data() + 1, arguments.size() - 1, result));
}

HResult ScriptControl::ReadProperty(DispId id, Variant& result) const {
    switch (id) {
        case kLanguage: result = Variant::FromString(language_); return hr::S_OK;
        case kTimeout: result = Variant::FromInt32(timeoutMs_); return hr::S_OK;
        case kState: result = Variant::FromInt32(state_); return hr::S_OK;
        case kAllowUI: result = Variant::FromBool(allowUI_); return hr::S_OK;
        case kSitehWnd: result = Variant::FromInt32(sitehWnd_); return hr::S_OK;
        default: return hr::DISP_E_MEMBERNOTFOUND;
    }
}

HResult ScriptControl::WriteProperty(DispId id, const Variant& value) {
    switch (id) {
        case kLanguage: {
            std::u16string language;
            if (const HResult r = automation::ChangeToString(value, language); automation::Failed(r))
                return r;
            // Only JScript is offered; asking for another language changes nothing.
            if (!IsJScript(language)) return hr::DISP_E_EXCEPTION;
            language_ = u"JScript";
            return hr::S_OK;
        }
        case kTimeout: {
            std::int32_t timeout = 0;
            if (const HResult r = ToInt32(value, timeout); automation::Failed(r)) return r;
            if (timeout < -1) return hr::E_INVALIDARG;
            timeoutMs_ = timeout;
            ApplyTimeout();
            return hr::S_OK;
        }
        case kState: {
            std::int32_t state = 0;
            if (const HResult r = ToInt32(value, state); automation::Failed(r)) return r;
            if (state != 0 && state != 1) return hr::E_INVALIDARG;  // initialised, connected
            state_ = state;
            return hr::S_OK;
        }
        case kAllowUI: return automation::ChangeToBool(value, allowUI_);
        case kSitehWnd: return ToInt32(value, sitehWnd_);
        default: return hr::DISP_E_MEMBERNOTFOUND;
    }
}

void ScriptControl::ApplyTimeout() {
    engine_->SetTimeLimit(timeoutMs_ < 0 ? std::nullopt
                                         : std::optional(std::chrono::milliseconds(timeoutMs_)));
}

void RegisterScriptControl(automation::ObjectRegistry& registry) {
    registry.Register(kScriptControlProgId, [] { return std::make_shared<ScriptControl>(); });
}

automation::ObjectRegistry StandardRegistry() {
    automation::ObjectRegistry registry;
    RegisterScriptControl(registry);
    return registry;
}

}  // namespace quorvel::scriptcontrol
