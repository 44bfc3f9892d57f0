// The signature slide a new message, a reply or a forward starts with: the user's signature text
// from the message store's settings, on a slide of its own after the last one.
#include "config/setting_numbers.h"
#include "config/settings.h"
#include "forms/composer_frame.h"
#include "platform/message_store/mapi_interfaces.h"
#include "platform/message_store/message_store.h"
#include "transport/mms_global.h"

namespace {

constexpr ULONG kUseSignatureTag = 0x811A000B;
constexpr ULONG kSignatureOnRepliesTag = 0x811B000B;
constexpr ULONG kSignatureTextTag = 0x8119001F;

// A store property read once; nullopt when the store or the property is missing.
template <typename Read>
auto ReadStoreProperty(ULONG tag, Read read) -> decltype(read(SPropValue{})) {
  IMsgStore* store = ULC_Global::GetGlobal()->messageStore;
  if (store == nullptr) return {};
  SizedSPropTagArray<1> tags{1, {tag}};
  ULONG count = 0;
  LPSPropValue values = nullptr;
  decltype(read(SPropValue{})) result{};
  if (SUCCEEDED(store->GetProps(tags.get(), MAPI_UNICODE, &count, &values)) && values != nullptr &&
      values[0].ulPropTag == tag) {
    result = read(values[0]);
  }
  MAPIFreeBuffer(values);
  return result;
}

bool StoreFlag(ULONG tag) {
  return ReadStoreProperty(tag, [](const SPropValue& value) { return value.Value.b != 0; });
}

CString StoreText(ULONG tag) {
  return ReadStoreProperty(tag, [](const SPropValue& value) {
    return value.Value.lpszW != nullptr ? CString(value.Value.lpszW) : CString();
  });
}

}  // namespace

void CComposerFrame::AddSignatureOnLoad() {
  if (!m_editor || m_voiceMailMode || !m_editor->HasRoomForSlide()) return;
  const bool reply = m_openAction == 1 || m_openAction == 2;
  const bool forward = m_openAction == 4;
  if (m_openAction != 0 && !reply && !forward) return;
  if (!StoreFlag(kUseSignatureTag)) return;
  if (reply && !StoreFlag(kSignatureOnRepliesTag)) return;
  if (forward && (GetConfigValue(numeric_setting::kSupportSignatureWhenForward) == 0 ||
                  !StoreFlag(kSignatureOnRepliesTag))) {
    return;
  }
  const CString text = StoreText(kSignatureTextTag);
  if (text.IsEmpty()) return;
  const bool changed = m_editor->IsChanged();
  m_editor->AddSignatureSlide(text.View(), GetConfigValue(numeric_setting::kSignatureInLastSlide) != 0);
  // The signature is part of the message as it starts, not an edit of the user's.
  m_editor->SetChanged(changed);
}
