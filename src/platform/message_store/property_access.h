// The property calls every store object shares (GetProps, SetProps, DeleteProps, OpenProperty), over
// one object of the store database, with the properties the store computes itself.
#pragma once

#include <memory>
#include <optional>

#include "platform/message_store/mapi_interfaces.h"
#include "platform/message_store/store_database.h"

namespace platform::message_store {

class PropertyAccess {
 public:
  PropertyAccess(std::shared_ptr<StoreDatabase> db, std::int64_t id, bool writable)
      : m_db(std::move(db)), m_id(id), m_writable(writable) {}

  HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values);
  HRESULT SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems);
  HRESULT DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems);
  HRESULT OpenProperty(ULONG tag, const IID* iid, ULONG flags, LPUNKNOWN* object);
  HRESULT SaveChanges();

  const std::shared_ptr<StoreDatabase>& Database() const { return m_db; }
  std::int64_t Id() const { return m_id; }
  bool Writable() const { return m_writable; }
  // The object's row; nothing once the object was deleted.
  std::optional<ObjectRow> Row() const { return m_db->Find(m_id); }

 private:
  std::optional<StoredValue> Computed(const ObjectRow& row, ULONG tag);
  std::vector<StoredProperty> Everything(const ObjectRow& row);

  std::shared_ptr<StoreDatabase> m_db;
  std::int64_t m_id;
  bool m_writable;
};

// Whether the store computes the property (it cannot be set or deleted).
bool IsComputedProperty(ULONG tag);

}  // namespace platform::message_store
