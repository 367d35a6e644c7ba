// Result codes of the automation layer: the HRESULT values callers know from COM.
//
// Engine and object failures become one of these codes here, at the automation border,
// and nowhere else; what a code means to a user is the script host's business.
#pragma once

#include <cstdint>

namespace quorvel::automation {

using HResult = std::int32_t;

constexpr HResult MakeHResult(std::uint32_t bits) { return static_cast<HResult>(bits); }

namespace hr {
inline constexpr HResult S_OK = 0;
inline constexpr HResult S_FALSE = 1;  // success; COM was already initialised on the thread
inline constexpr HResult E_NOTIMPL = MakeHResult(0x80004001);
inline constexpr HResult E_NOINTERFACE = MakeHResult(0x80004002);
inline constexpr HResult E_FAIL = MakeHResult(0x80004005);
inline constexpr HResult E_INVALIDARG = MakeHResult(0x80070057);
inline constexpr HResult DISP_E_UNKNOWNINTERFACE = MakeHResult(0x80020001);
inline constexpr HResult DISP_E_MEMBERNOTFOUND = MakeHResult(0x80020003);
inline constexpr HResult DISP_E_PARAMNOTFOUND = MakeHResult(0x80020004);
inline constexpr HResult DISP_E_TYPEMISMATCH = MakeHResult(0x80020005);
inline constexpr HResult DISP_E_UNKNOWNNAME = MakeHResult(0x80020006);
inline constexpr HResult DISP_E_NONAMEDARGS = MakeHResult(0x80020007);
inline constexpr HResult DISP_E_BADVARTYPE = MakeHResult(0x80020008);
inline constexpr HResult DISP_E_EXCEPTION = MakeHResult(0x80020009);
inline constexpr HResult DISP_E_OVERFLOW = MakeHResult(0x8002000A);
inline constexpr HResult DISP_E_BADPARAMCOUNT = MakeHResult(0x8002000E);
inline constexpr HResult DISP_E_PARAMNOTOPTIONAL = MakeHResult(0x8002000F);
inline constexpr HResult REGDB_E_CLASSNOTREG = MakeHResult(0x80040154);
inline constexpr HResult CO_E_NOTINITIALIZED = MakeHResult(0x800401F0);
}  // namespace hr

constexpr bool Succeeded(HResult result) { return result >= 0; }
constexpr bool Failed(HResult result) { return result < 0; }

}  // namespace quorvel::automation
