#include "platform/message_store/property_access.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/message_store/mapi_tags.h"
#include "platform/message_store/property_stream.h"
#include "platform/text/text_conversion.h"

namespace platform::message_store {
namespace {

constexpr ULONG kComputedTags[] = {PR_ENTRYID, PR_OBJECT_TYPE, PR_PARENT_ENTRYID, PR_ATTACH_NUM,
                                   PR_LAST_MODIFICATION_TIME};

std::u16string TextOf(const StoredValue& value) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < value.bytes.size(); i += 2) {
    text.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(value.bytes[i]) |
                                         static_cast<std::uint8_t>(value.bytes[i + 1]) << 8));
  }
  return text;
}

std::string BytesOfText(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

HRESULT CopyOut(const void* data, std::size_t size, LPVOID owner, void** out) {
  if (size > kMaxPropertyBytes + 2) return MAPI_E_TOO_BIG;
  LPVOID block = nullptr;
  if (MAPIAllocateMore(static_cast<ULONG>(size), owner, &block) != S_OK) return MAPI_E_NOT_ENOUGH_MEMORY;
  if (size > 0) std::memcpy(block, data, size);
  *out = block;
  return S_OK;
}

void SetError(SPropValue& out, ULONG tag, SCODE error) {
  out.ulPropTag = CHANGE_PROP_TYPE(tag, PT_ERROR);
  out.Value.err = error;
}

// Fills `out` with the stored value in the type the caller asked for (PT_UNSPECIFIED: as stored,
// text as Unicode only with MAPI_UNICODE); text and binary data are allocated against `owner`.
HRESULT FillValue(ULONG tag, const StoredValue& value, ULONG flags, LPVOID owner, SPropValue& out) {
  ULONG wanted = PROP_TYPE(tag);
  if (wanted == PT_UNSPECIFIED) wanted = value.type == PT_UNICODE && !(flags & MAPI_UNICODE) ? PT_STRING8 : value.type;
  bool textAsEightBit = wanted == PT_STRING8 && value.type == PT_UNICODE;
  if (wanted != value.type && !textAsEightBit) {
    SetError(out, tag, MAPI_E_NOT_FOUND);
    return S_OK;
  }
  out.ulPropTag = CHANGE_PROP_TYPE(tag, wanted);
  switch (wanted) {
    case PT_LONG:
      out.Value.l = static_cast<LONG>(value.number);
      return S_OK;
    case PT_BOOLEAN:
      out.Value.b = value.number != 0 ? 1 : 0;
      return S_OK;
    case PT_SYSTIME:
      out.Value.ft.dwLowDateTime = static_cast<DWORD>(value.number & 0xFFFFFFFF);
      out.Value.ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(value.number) >> 32);
      return S_OK;
    case PT_UNICODE: {
      std::u16string text = TextOf(value);
      return CopyOut(text.c_str(), (text.size() + 1) * sizeof(char16_t), owner, reinterpret_cast<void**>(&out.Value.lpszW));
    }
    case PT_STRING8: {
      std::string text = Encode(CP_ACP, TextOf(value));
      return CopyOut(text.c_str(), text.size() + 1, owner, reinterpret_cast<void**>(&out.Value.lpszA));
    }
    case PT_BINARY:
      out.Value.bin.cb = static_cast<ULONG>(value.bytes.size());
      return CopyOut(value.bytes.data(), value.bytes.size(), owner, reinterpret_cast<void**>(&out.Value.bin.lpb));
    default:
      SetError(out, tag, MAPI_E_NOT_FOUND);
      return S_OK;
  }
}

// The value to store for one SPropValue, or the reason it cannot be stored.
std::optional<StoredValue> ToStored(const SPropValue& in, SCODE* problem) {
  switch (PROP_TYPE(in.ulPropTag)) {
    case PT_LONG:
      return StoredValue{PT_LONG, in.Value.l, {}};
    case PT_BOOLEAN:
      return StoredValue{PT_BOOLEAN, in.Value.b != 0 ? 1 : 0, {}};
    case PT_SYSTIME:
      return StoredValue{PT_SYSTIME,
                         static_cast<std::int64_t>(static_cast<std::uint64_t>(in.Value.ft.dwHighDateTime) << 32 |
                                                   in.Value.ft.dwLowDateTime),
                         {}};
    case PT_UNICODE: {
      std::u16string_view text = in.Value.lpszW ? std::u16string_view(in.Value.lpszW) : std::u16string_view();
      if (text.size() * 2 > kMaxPropertyBytes) break;
      return StoredValue{PT_UNICODE, 0, BytesOfText(text)};
    }
    case PT_STRING8: {
      std::string_view text = in.Value.lpszA ? std::string_view(in.Value.lpszA) : std::string_view();
      if (text.size() * 2 > kMaxPropertyBytes) break;
      return StoredValue{PT_UNICODE, 0, BytesOfText(Decode(CP_ACP, text))};
    }
    case PT_BINARY:
      if (in.Value.bin.cb > kMaxPropertyBytes) break;
      if (in.Value.bin.cb > 0 && in.Value.bin.lpb == nullptr) {
        *problem = MAPI_E_INVALID_PARAMETER;
        return std::nullopt;
      }
      return StoredValue{PT_BINARY, 0, std::string(reinterpret_cast<const char*>(in.Value.bin.lpb), in.Value.bin.cb)};
    default:
      *problem = MAPI_E_BAD_VALUE;
      return std::nullopt;
  }
  *problem = MAPI_E_TOO_BIG;
  return std::nullopt;
}

// Hands out the problems found, when the caller asked for them.
HRESULT ReportProblems(const std::vector<SPropProblem>& found, LPSPropProblemArray* problems) {
  if (problems == nullptr) return S_OK;
  *problems = nullptr;
  if (found.empty()) return S_OK;
  std::size_t size = offsetof(SPropProblemArray, aProblem) + found.size() * sizeof(SPropProblem);
  LPVOID block = nullptr;
  if (MAPIAllocateBuffer(static_cast<ULONG>(size), &block) != S_OK) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* array = static_cast<LPSPropProblemArray>(block);
  array->cProblem = static_cast<ULONG>(found.size());
  std::memcpy(&array->aProblem[0], found.data(), found.size() * sizeof(SPropProblem));
  *problems = array;
  return S_OK;
}

}  // namespace

bool IsComputedProperty(ULONG tag) {
  for (ULONG computed : kComputedTags) {
    if (PROP_ID(computed) == PROP_ID(tag)) return true;
  }
  return false;
}

std::optional<StoredValue> PropertyAccess::Computed(const ObjectRow& row, ULONG tag) {
  switch (PROP_ID(tag)) {
    case PROP_ID(PR_ENTRYID):
      if (row.entryId.empty()) return std::nullopt;
      return StoredValue{PT_BINARY, 0, row.entryId};
    case PROP_ID(PR_OBJECT_TYPE):
      return StoredValue{PT_LONG, row.kind, {}};
    case PROP_ID(PR_ATTACH_NUM):
      if (row.kind != MAPI_ATTACH) return std::nullopt;
      return StoredValue{PT_LONG, row.attachNumber, {}};
    case PROP_ID(PR_PARENT_ENTRYID): {
      if (row.kind != MAPI_MESSAGE && row.kind != MAPI_FOLDER) return std::nullopt;
      auto parent = m_db->Find(row.parent);
      if (!parent || parent->entryId.empty() || parent->kind != MAPI_FOLDER) return std::nullopt;
      return StoredValue{PT_BINARY, 0, parent->entryId};
    }
    default:
      return m_db->Get(m_id, tag);
  }
}

std::vector<StoredProperty> PropertyAccess::Everything(const ObjectRow& row) {
  std::vector<StoredProperty> all;
  for (ULONG tag : kComputedTags) {
    if (tag == PR_LAST_MODIFICATION_TIME) continue;
    if (auto value = Computed(row, tag)) all.push_back({CHANGE_PROP_TYPE(tag, value->type), *value});
  }
  for (StoredProperty& stored : m_db->All(m_id)) all.push_back(std::move(stored));
  return all;
}

HRESULT PropertyAccess::GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) {
  if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
  *count = 0;
  *values = nullptr;
  auto row = Row();
  if (!row) return MAPI_E_OBJECT_DELETED;
  std::vector<StoredProperty> wanted;
  if (tags == nullptr) {
    wanted = Everything(*row);
  } else {
    const ULONG* tagList = tags->aulPropTag;
    for (ULONG i = 0; i < tags->cValues; ++i) {
      auto value = Computed(*row, tagList[i]);
      wanted.push_back({tagList[i], value.value_or(StoredValue{PT_ERROR, 0, {}})});
    }
  }
  LPVOID block = nullptr;
  ULONG size = static_cast<ULONG>(std::max<std::size_t>(wanted.size(), 1) * sizeof(SPropValue));
  if (MAPIAllocateBuffer(size, &block) != S_OK) return MAPI_E_NOT_ENOUGH_MEMORY;
  auto* out = static_cast<LPSPropValue>(block);
  bool errors = false;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (wanted[i].value.type == PT_ERROR) {
      SetError(out[i], wanted[i].tag, MAPI_E_NOT_FOUND);
    } else if (HRESULT hr = FillValue(wanted[i].tag, wanted[i].value, flags, block, out[i]); FAILED(hr)) {
      MAPIFreeBuffer(block);
      return hr;
    }
    errors = errors || PROP_TYPE(out[i].ulPropTag) == PT_ERROR;
  }
  *count = static_cast<ULONG>(wanted.size());
  *values = out;
  return errors ? MAPI_W_ERRORS_RETURNED : S_OK;
}

HRESULT PropertyAccess::SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) {
  if (values == nullptr && count > 0) return MAPI_E_INVALID_PARAMETER;
  if (!m_writable) return MAPI_E_NO_ACCESS;
  if (!Row()) return MAPI_E_OBJECT_DELETED;
  std::vector<SPropProblem> found;
  auto transaction = m_db->Begin();
  if (!transaction.ok()) return MAPI_E_CALL_FAILED;
  for (ULONG i = 0; i < count; ++i) {
    SCODE problem = S_OK;
    std::optional<StoredValue> stored;
    if (IsComputedProperty(values[i].ulPropTag)) {
      problem = MAPI_E_COMPUTED;
    } else {
      stored = ToStored(values[i], &problem);
    }
    if (stored && !m_db->Set(m_id, values[i].ulPropTag, *stored)) return MAPI_E_CALL_FAILED;
    if (problem != S_OK) found.push_back({i, values[i].ulPropTag, problem});
  }
  if (!transaction.Commit()) return MAPI_E_CALL_FAILED;
  return ReportProblems(found, problems);
}

HRESULT PropertyAccess::DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems) {
  if (tags == nullptr) return MAPI_E_INVALID_PARAMETER;
  if (!m_writable) return MAPI_E_NO_ACCESS;
  if (!Row()) return MAPI_E_OBJECT_DELETED;
  std::vector<SPropProblem> found;
  auto transaction = m_db->Begin();
  if (!transaction.ok()) return MAPI_E_CALL_FAILED;
  const ULONG* tagList = tags->aulPropTag;
  for (ULONG i = 0; i < tags->cValues; ++i) {
    if (IsComputedProperty(tagList[i])) {
      found.push_back({i, tagList[i], MAPI_E_COMPUTED});
    } else if (!m_db->Remove(m_id, tagList[i])) {
      return MAPI_E_CALL_FAILED;
    }
  }
  if (!transaction.Commit()) return MAPI_E_CALL_FAILED;
  return ReportProblems(found, problems);
}

HRESULT PropertyAccess::OpenProperty(ULONG tag, const IID* iid, ULONG flags, LPUNKNOWN* object) {
  if (object == nullptr || iid == nullptr) return MAPI_E_INVALID_PARAMETER;
  *object = nullptr;
  if (!IsEqualGUID(*iid, IID_IStream)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
  if (PROP_TYPE(tag) != PT_BINARY && PROP_TYPE(tag) != PT_UNICODE) return MAPI_E_NO_SUPPORT;
  bool forWriting = (flags & MAPI_MODIFY) != 0;
  if (forWriting && !m_writable) return MAPI_E_NO_ACCESS;
  if (!Row()) return MAPI_E_OBJECT_DELETED;
  std::string data;
  if (!(flags & MAPI_CREATE)) {
    auto stored = m_db->Get(m_id, tag);
    if (!stored || stored->type != PROP_TYPE(tag)) return MAPI_E_NOT_FOUND;
    data = std::move(stored->bytes);
  }
  *object = NewPropertyStream(m_db, m_id, tag, std::move(data), forWriting);
  return S_OK;
}

HRESULT PropertyAccess::SaveChanges() { return Row() ? S_OK : MAPI_E_OBJECT_DELETED; }

}  // namespace platform::message_store
