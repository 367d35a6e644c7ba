// An automation object that stands in for the script engine: it answers every call the
// way a test tells it to and records what reached it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/automation/object.h"
#include "platform/automation/registry.h"

namespace quorvel::testing {

struct RecordedCall {
    automation::InvokeKind kind;
    std::u16string member;
    std::vector<automation::Variant> arguments;
};

class FakeEngine : public automation::Dispatch {
public:
    // The members of the script engine, with the parameter counts the script host expects.
    static std::vector<automation::MemberDescription> EngineMembers(int executeStatementParameters = 1) {
        using automation::InvokeKind;
        std::vector<automation::MemberDescription> members = {
            {u"ExecuteStatement", 1, InvokeKind::Method, executeStatementParameters, false},
            {u"Eval", 2, InvokeKind::Method, 1, false},
            {u"Reset", 3, InvokeKind::Method, 0, false},
            {u"Run", 4, InvokeKind::Method, 1, true},
            {u"AddCode", 5, InvokeKind::Method, 1, false},
        };
        automation::DispId id = 6;
        for (const char16_t* name : {u"Language", u"Timeout", u"State", u"AllowUI", u"SitehWnd"}) {
            members.push_back({name, id, InvokeKind::PropertyGet, 0, false});
            members.push_back({name, id, InvokeKind::PropertyPut, 1, false});
            ++id;
        }
        return members;
    }

    explicit FakeEngine(std::vector<automation::MemberDescription> members = EngineMembers())
        : members_(members), typeInfo_(std::move(members)) {}
    ~FakeEngine() override {
        if (onDestroyed) onDestroyed();
    }

    const automation::TypeInfo* GetTypeInfo() const override {
        return hasTypeInfo ? &typeInfo_ : nullptr;
    }
    automation::HResult GetIdOfName(std::u16string_view name,
                                    automation::DispId& id) const override {
        const auto found = typeInfo_.FindName(name);
        if (!found || !namesBind) return automation::hr::DISP_E_UNKNOWNNAME;
        id = *found;
        return automation::hr::S_OK;
    }
    automation::HResult Invoke(automation::DispId id, automation::InvokeKind kind,
                               const std::vector<automation::Variant>& arguments,
                               automation::Variant& result) override {
        std::u16string member;
        for (const auto& m : members_) {
            if (m.id == id) member = m.name;
        }
        calls.push_back({kind, member, arguments});
        if (automation::Succeeded(invokeResult)) result = returnValue;
        return invokeResult;
    }

    bool hasTypeInfo = true;
    bool namesBind = true;
    automation::HResult invokeResult = automation::hr::S_OK;
    automation::Variant returnValue;
    std::vector<RecordedCall> calls;
    std::function<void()> onDestroyed;

private:
    std::vector<automation::MemberDescription> members_;
    automation::TypeInfo typeInfo_;
};

// A registry whose "ScriptControl" is the given object.
inline automation::ObjectRegistry RegistryWith(automation::ObjectRef engine) {
    automation::ObjectRegistry registry;
    registry.Register("ScriptControl", [engine] { return engine; });
    return registry;
}

}  // namespace quorvel::testing
