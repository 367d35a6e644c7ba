// Automation objects: counted references, late-bound dispatch by member name, and the type
// information that tells how many parameters a member takes.
//
// An object is held through ObjectRef, a counted reference: copying it raises the count,
// dropping it lowers the count, and the object goes when the last reference does. An
// object that can be called by name is a Dispatch; asking an object for that interface is
// QueryDispatch.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/hresult.h"
#include "platform/automation/variant.h"

namespace quorvel::automation {

class Unknown {
public:
    virtual ~Unknown() = default;
};

using ObjectRef = std::shared_ptr<Unknown>;

using DispId = std::int32_t;

enum class InvokeKind { PropertyGet, PropertyPut, Method };

struct MemberDescription {
    std::u16string name;
    DispId id;
    InvokeKind kind;
    int parameterCount;      // for a property write: the value, so 1
    bool variableArguments;  // takes any number of arguments after its declared ones
};

// The members of a type, as type information describes them.
class TypeInfo {
public:
    explicit TypeInfo(std::vector<MemberDescription> members) : members_(std::move(members)) {}

    // The id of the member called `name`; names are matched without regard to the case of
    // ASCII letters, as automation names are.
    std::optional<DispId> FindName(std::u16string_view name) const;
    // The member `id` when used as `kind`; a method call may also reach a property read.
    const MemberDescription* Describe(DispId id, InvokeKind kind) const;

private:
    std::vector<MemberDescription> members_;
};

class Dispatch : public Unknown {
public:
    // Null when the object gives no type information.
    virtual const TypeInfo* GetTypeInfo() const = 0;
    // DISP_E_UNKNOWNNAME when no member has that name.
    virtual HResult GetIdOfName(std::u16string_view name, DispId& id) const = 0;
    // Calls member `id`. For a property write `arguments` holds the value. `result`
    // receives the member's value; on failure it is left empty.
    virtual HResult Invoke(DispId id, InvokeKind kind, const std::vector<Variant>& arguments,
                           Variant& result) = 0;
};

// The object's Dispatch interface, or null if it has none.
std::shared_ptr<Dispatch> QueryDispatch(const ObjectRef& object);

}  // namespace quorvel::automation
