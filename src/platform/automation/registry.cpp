#include "platform/automation/registry.h"

#include "platform/automation/apartment.h"

namespace quorvel::automation {

void ObjectRegistry::Register(std::string progId, ObjectFactory factory) {
    factories_[std::move(progId)] = std::move(factory);
}

HResult ObjectRegistry::CreateObject(std::string_view progId, ObjectRef& object) const {
    object.reset();
    if (ComInitializationCount() == 0) return hr::CO_E_NOTINITIALIZED;
    const auto found = factories_.find(progId);
    if (found == factories_.end()) return hr::REGDB_E_CLASSNOTREG;
    object = found->second();
    return object ? hr::S_OK : hr::E_FAIL;
}

}  // namespace quorvel::automation
