// The "ScriptControl" automation object: a JScript engine that can be called by member name.
//
// Methods: ExecuteStatement, Eval, AddCode (run code), Run (call a global function, with a
// variable argument list after its name) and Reset (discard all code). Properties:
// Language ("JScript" only; another language is refused and the language stays), Timeout
// (milliseconds per call, -1 for none, 10000 at first; a script that runs longer is
// interrupted and its call fails), State, AllowUI and SitehWnd (kept, not used here).
// Script errors, calls of undefined procedures and timeouts fail with DISP_E_EXCEPTION.
// User data reaches the engine only as argument values, never as source code.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/automation/object.h"
#include "platform/automation/registry.h"

namespace quorvel::scriptcontrol {

class JsEngine;

inline constexpr const char* kScriptControlProgId = "ScriptControl";

class ScriptControl : public automation::Dispatch {
public:
    ScriptControl();
    ~ScriptControl() override;

    const automation::TypeInfo* GetTypeInfo() const override;
    automation::HResult GetIdOfName(std::u16string_view name,
                                    automation::DispId& id) const override;
    automation::HResult Invoke(automation::DispId id, automation::InvokeKind kind,
                               const std::vector<automation::Variant>& arguments,
                               automation::Variant& result) override;

    // Time spent inside the engine by the latest code run or function call.
    std::chrono::nanoseconds LastRunTime() const;
    // Time the latest function call took to make engine values of its arguments.
    std::chrono::nanoseconds LastArgumentTime() const;

private:
    automation::HResult RunCode(const std::vector<automation::Variant>& arguments,
                                automation::Variant& result);
    automation::HResult CallProcedure(const std::vector<automation::Variant>& arguments,
                                      automation::Variant& result);
    automation::HResult ReadProperty(automation::DispId id, automation::Variant& result) const;
    automation::HResult WriteProperty(automation::DispId id, const automation::Variant& value);
    void ApplyTimeout();

    std::unique_ptr<JsEngine> engine_;
    std::u16string language_ = u"JScript";
    std::int32_t timeoutMs_ = 10000;
    std::int32_t state_ = 0;
    bool allowUI_ = true;
    std::int32_t sitehWnd_ = 0;
};

void RegisterScriptControl(automation::ObjectRegistry& registry);

// The registry of the program: every automation object it may create.
automation::ObjectRegistry StandardRegistry();

}  // namespace quorvel::scriptcontrol
