// ComObject: the IUnknown half of a platform object, so each class only writes the calls of its own
// interface.
#pragma once

#include <atomic>

#include "platform/com/unknown.h"

template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // Answers IID_IUnknown, the object's own id and whatever AlsoAnswers accepts, always with the same
  // Interface pointer.
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_INVALIDARG;
    if (iid == IID_IUnknown || iid == m_iid || AlsoAnswers(iid)) {
      AddRef();
      *object = static_cast<Interface*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++m_references; }
  ULONG Release() override {
    ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
  }

 protected:
  // The object starts with one reference, the one its factory hands to the caller. `iid` is the
  // interface's own id, which need not be named after Interface (IAttach answers IID_IAttachment).
  explicit ComObject(const IID& iid) : m_iid(iid) {}
  // Virtual so that Release destroys the whole object.
  virtual ~ComObject() = default;

  // For a class that also answers a base interface's id under the same pointer.
  virtual bool AlsoAnswers(REFIID) const { return false; }

 private:
  IID m_iid;
  std::atomic<ULONG> m_references{1};
};
