// The store's objects behind its interfaces: one reference-counted object per open store, folder,
// message and attachment, each over its row of the store database.
#pragma once

#include <memory>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/message_store/property_access.h"

namespace platform::message_store {

// IUnknown and IMAPIProp for an object of the store; `Interface` adds the calls of its kind.
template <typename Interface>
class PropObject : public ComObject<Interface> {
 public:
  HRESULT GetProps(LPSPropTagArray tags, ULONG flags, ULONG* count, LPSPropValue* values) override {
    return m_properties.GetProps(tags, flags, count, values);
  }
  HRESULT SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray* problems) override {
    return m_properties.SetProps(count, values, problems);
  }
  HRESULT DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems) override {
    return m_properties.DeleteProps(tags, problems);
  }
  HRESULT OpenProperty(ULONG tag, const IID* iid, ULONG, ULONG flags, LPUNKNOWN* object) override {
    return m_properties.OpenProperty(tag, iid, flags, object);
  }
  HRESULT SaveChanges(ULONG) override { return m_properties.SaveChanges(); }

 protected:
  PropObject(PropertyAccess properties, const IID& iid)
      : ComObject<Interface>(iid), m_properties(std::move(properties)) {}

  // Every object of the store is also reachable as its property interface.
  bool AlsoAnswers(REFIID iid) const override { return iid == IID_IMAPIProp; }

  PropertyAccess m_properties;
};

// Each factory returns a new object with one reference for the caller.
IMAPIFolder* NewFolderObject(PropertyAccess properties);
IMessage* NewMessageObject(PropertyAccess properties);
IAttach* NewAttachObject(PropertyAccess properties);
// A table over the objects with the given ids, showing `columns` until SetColumns changes them.
IMAPITable* NewObjectTable(std::shared_ptr<StoreDatabase> db, std::vector<std::int64_t> objects,
                           std::vector<ULONG> columns);

// Whether an open with these flags may write.
constexpr bool OpensForWriting(ULONG flags) { return (flags & (MAPI_MODIFY | MAPI_BEST_ACCESS)) != 0; }

}  // namespace platform::message_store
