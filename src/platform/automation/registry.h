// Creation of automation objects by ProgID, through a registry of factories.
//
// The program's registry knows "ScriptControl"; a registry without it plays a machine on
// which the script engine is not installed.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/automation/hresult.h"
#include "platform/automation/object.h"

namespace quorvel::automation {

using ObjectFactory = std::function<ObjectRef()>;

class ObjectRegistry {
public:
    void Register(std::string progId, ObjectFactory factory);

    // CO_E_NOTINITIALIZED when COM is not initialised on the calling thread,
    // REGDB_E_CLASSNOTREG for an unknown ProgID, E_FAIL when the factory makes nothing.
    HResult CreateObject(std::string_view progId, ObjectRef& object) const;

private:
    std::map<std::string, ObjectFactory, std::less<>> factories_;
};

}  // namespace quorvel::automation
