#include "platform/automation/object.h"

namespace quorvel::automation {
namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c - u'A' + u'a' : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<DispId> TypeInfo::FindName(std::u16string_view name) const {
    for (const auto& member : members_) {
        if (SameName(member.name, name)) return member.id;
    }
    return std::nullopt;
}

const MemberDescription* TypeInfo::Describe(DispId id, InvokeKind kind) const {
    const MemberDescription* propertyRead = nullptr;
    for (const auto& member : members_) {
        if (member.id != id) continue;
        if (member.kind == kind) return &member;
        if (member.kind == InvokeKind::PropertyGet) propertyRead = &member;
    }
    return kind == InvokeKind::Method ? propertyRead : nullptr;
}

std::shared_ptr<Dispatch> QueryDispatch(const ObjectRef& object) {
    return std::dynamic_pointer_cast<Dispatch>(object);
}

}  // namespace quorvel::automation
