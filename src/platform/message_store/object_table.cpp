#include <algorithm>
#include <cstddef>

#include "platform/com/com_object.h"
#include "platform/message_store/store_objects.h"

namespace platform::message_store {
namespace {

class ObjectTable final : public ComObject<IMAPITable> {
 public:
  ObjectTable(std::shared_ptr<StoreDatabase> db, std::vector<std::int64_t> objects, std::vector<ULONG> columns)
      : ComObject(IID_IMAPITable), m_db(std::move(db)), m_objects(std::move(objects)), m_columns(std::move(columns)) {}

  HRESULT SetColumns(LPSPropTagArray tags, ULONG) override {
    if (tags == nullptr) return MAPI_E_INVALID_PARAMETER;
    const ULONG* tagList = tags->aulPropTag;
    m_columns.assign(tagList, tagList + tags->cValues);
    return S_OK;
  }

  HRESULT GetRowCount(ULONG, ULONG* count) override {
    if (count == nullptr) return MAPI_E_INVALID_PARAMETER;
    *count = static_cast<ULONG>(m_objects.size());
    return S_OK;
  }

  HRESULT QueryRows(LONG rowCount, ULONG, LPSRowSet* rows) override {
    if (rows == nullptr || rowCount < 0) return MAPI_E_INVALID_PARAMETER;
    *rows = nullptr;
    std::size_t wanted = std::min<std::size_t>(static_cast<std::size_t>(rowCount), m_objects.size() - m_position);
    LPVOID block = nullptr;
    std::size_t size = offsetof(SRowSet, aRow) + std::max<std::size_t>(wanted, 1) * sizeof(SRow);
    if (MAPIAllocateBuffer(static_cast<ULONG>(size), &block) != S_OK) return MAPI_E_NOT_ENOUGH_MEMORY;
    auto* set = static_cast<LPSRowSet>(block);
    SRow* rowList = &set->aRow[0];
    set->cRows = 0;
    std::vector<ULONG> tags(m_columns.size() + 1);
    tags[0] = static_cast<ULONG>(m_columns.size());
    std::copy(m_columns.begin(), m_columns.end(), tags.begin() + 1);
    for (; wanted > 0 && m_position < m_objects.size(); --wanted, ++m_position) {
      PropertyAccess properties(m_db, m_objects[m_position], false);
      SRow& row = rowList[set->cRows];
      HRESULT hr = properties.GetProps(reinterpret_cast<LPSPropTagArray>(tags.data()), MAPI_UNICODE, &row.cValues,
                                       &row.lpProps);
      if (hr == MAPI_E_OBJECT_DELETED) continue;  // deleted since the table was made
      if (FAILED(hr)) {
        FreeProws(set);
        return hr;
      }
      ++set->cRows;
    }
    *rows = set;
    return S_OK;
  }

  HRESULT SeekRow(ULONG bookmark, LONG rowCount, LONG* sought) override {
    if (bookmark != BOOKMARK_BEGINNING) return MAPI_E_NO_SUPPORT;
    long long target = std::clamp<long long>(rowCount, 0, static_cast<long long>(m_objects.size()));
    m_position = static_cast<std::size_t>(target);
    if (sought) *sought = static_cast<LONG>(target);
    return S_OK;
  }

 private:
  std::shared_ptr<StoreDatabase> m_db;
  std::vector<std::int64_t> m_objects;
  std::vector<ULONG> m_columns;
  std::size_t m_position = 0;
};

}  // namespace

IMAPITable* NewObjectTable(std::shared_ptr<StoreDatabase> db, std::vector<std::int64_t> objects,
                           std::vector<ULONG> columns) {
  return new ObjectTable(std::move(db), std::move(objects), std::move(columns));
}

}  // namespace platform::message_store
