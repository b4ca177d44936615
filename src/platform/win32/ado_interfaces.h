#pragma once
// ADO's typed interfaces, as ADO 2.x defines them (mingw-w64's
// adoint_backcompat.h, in the copy the build makes without the six bare class
// declarations GCC rejects), and their ids, which every ADO since 2.x answers
// and Wine's answers alone.

#include <windows.h>
// After windows.h, which they build on.
#include <ole2.h>
#include <adoint_gcc.h>

namespace vsu::win32::ado {

constexpr CLSID kConnectionClass = {0x00000514, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr CLSID kRecordsetClass = {0x00000535, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
// _Connection and _Recordset of ADO 2.x; the ids mingw-w64 names are later ones Wine lacks.
constexpr IID kConnectionIid = {0x00000550, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};
constexpr IID kRecordsetIid = {0x00000556, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x6D, 0x2E, 0xA4}};

}  // namespace vsu::win32::ado
