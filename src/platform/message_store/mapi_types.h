// The data types of the device's MAPI message store: property tags and values, tag lists, rows,
// entry lists, flags and result codes, and the buffers results are handed out in.
#pragma once

#include "platform/com/unknown.h"
#include "platform/win_types.h"

using SCODE = LONG;

// Property types (low word of a property tag).
constexpr ULONG PT_UNSPECIFIED = 0x0000;
constexpr ULONG PT_NULL = 0x0001;
constexpr ULONG PT_LONG = 0x0003;
constexpr ULONG PT_ERROR = 0x000A;
constexpr ULONG PT_BOOLEAN = 0x000B;
constexpr ULONG PT_STRING8 = 0x001E;
constexpr ULONG PT_UNICODE = 0x001F;
constexpr ULONG PT_SYSTIME = 0x0040;
constexpr ULONG PT_BINARY = 0x0102;

constexpr ULONG PROP_TYPE(ULONG tag) { return tag & 0xFFFF; }
constexpr ULONG PROP_ID(ULONG tag) { return tag >> 16; }
constexpr ULONG PROP_TAG(ULONG type, ULONG id) { return id << 16 | type; }
constexpr ULONG CHANGE_PROP_TYPE(ULONG tag, ULONG type) { return (tag & 0xFFFF0000u) | type; }

// Object kinds (PR_OBJECT_TYPE and the kind OpenEntry reports).
constexpr ULONG MAPI_STORE = 1;
constexpr ULONG MAPI_FOLDER = 3;
constexpr ULONG MAPI_MESSAGE = 5;
constexpr ULONG MAPI_ATTACH = 7;

// Flags.
constexpr ULONG MAPI_MODIFY = 0x00000001;
constexpr ULONG MAPI_CREATE = 0x00000002;
constexpr ULONG MAPI_BEST_ACCESS = 0x00000010;
constexpr ULONG MESSAGE_MOVE = 0x00000001;
constexpr ULONG MAPI_DEFERRED_ERRORS = 0x00000008;
constexpr ULONG MAPI_UNICODE = 0x80000000;
constexpr ULONG KEEP_OPEN_READWRITE = 0x00000004;

// Result codes.
constexpr HRESULT MAPI_E_CALL_FAILED = E_FAIL;
constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = E_OUTOFMEMORY;
constexpr HRESULT MAPI_E_INVALID_PARAMETER = E_INVALIDARG;
constexpr HRESULT MAPI_E_INTERFACE_NOT_SUPPORTED = E_NOINTERFACE;
constexpr HRESULT MAPI_E_NO_ACCESS = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT MAPI_E_NO_SUPPORT = static_cast<HRESULT>(0x80040102u);
constexpr HRESULT MAPI_E_INVALID_ENTRYID = static_cast<HRESULT>(0x80040107u);
constexpr HRESULT MAPI_E_OBJECT_DELETED = static_cast<HRESULT>(0x8004010Au);
constexpr HRESULT MAPI_E_NOT_FOUND = static_cast<HRESULT>(0x8004010Fu);
constexpr HRESULT MAPI_E_COMPUTED = static_cast<HRESULT>(0x8004011Au);
constexpr HRESULT MAPI_E_CORRUPT_DATA = static_cast<HRESULT>(0x8004011Bu);
constexpr HRESULT MAPI_E_BAD_VALUE = static_cast<HRESULT>(0x80040301u);
constexpr HRESULT MAPI_E_CORRUPT_STORE = static_cast<HRESULT>(0x80040600u);
constexpr HRESULT MAPI_E_TOO_BIG = static_cast<HRESULT>(0x80040305u);
constexpr HRESULT MAPI_W_ERRORS_RETURNED = 0x00040380;

// Stream results.
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005u);
constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);

struct SBinary {
  ULONG cb;
  BYTE* lpb;
};

union PropValueUnion {
  short i;
  LONG l;
  unsigned short b;  // PT_BOOLEAN: 0 or 1
  FILETIME ft;
  LPSTR lpszA;
  LPWSTR lpszW;
  SBinary bin;
  SCODE err;  // PT_ERROR: why the property is not there
  LONGLONG li;
};

struct SPropValue {
  ULONG ulPropTag;
  ULONG dwAlignPad;
  PropValueUnion Value;
};
using LPSPropValue = SPropValue*;

// A counted list of property tags. Lists longer than one are allocated with room for their tags
// (MAPIAllocateBuffer) or declared as a SizedSPropTagArray.
struct SPropTagArray {
  ULONG cValues;
  ULONG aulPropTag[1];
};
using LPSPropTagArray = SPropTagArray*;

template <ULONG Count>
struct SizedSPropTagArray {
  ULONG cValues = Count;
  ULONG aulPropTag[Count];
  LPSPropTagArray get() { return reinterpret_cast<LPSPropTagArray>(this); }
};

struct SPropProblem {
  ULONG ulIndex;
  ULONG ulPropTag;
  SCODE scode;
};

struct SPropProblemArray {
  ULONG cProblem;
  SPropProblem aProblem[1];
};
using LPSPropProblemArray = SPropProblemArray*;

struct SRow {
  ULONG ulAdrEntryPad;
  ULONG cValues;
  LPSPropValue lpProps;
};

// Rows of a table. Each row's values are a buffer of their own; FreeProws frees them and the set.
struct SRowSet {
  ULONG cRows;
  SRow aRow[1];
};
using LPSRowSet = SRowSet*;

struct ENTRYID {
  BYTE abFlags[4];
  BYTE ab[1];
};
using LPENTRYID = ENTRYID*;

struct ENTRYLIST {
  ULONG cValues;
  SBinary* lpbin;
};
using LPENTRYLIST = ENTRYLIST*;

// Buffers handed out by the store: a block freed with one MAPIFreeBuffer, together with every block
// allocated with MAPIAllocateMore against it.
SCODE MAPIAllocateBuffer(ULONG size, LPVOID* buffer);
SCODE MAPIAllocateMore(ULONG size, LPVOID parent, LPVOID* buffer);
ULONG MAPIFreeBuffer(LPVOID buffer);
void FreeProws(LPSRowSet rows);

// The property value of `tag` in a list of values, or null.
LPSPropValue PpropFindProp(LPSPropValue values, ULONG count, ULONG tag);
