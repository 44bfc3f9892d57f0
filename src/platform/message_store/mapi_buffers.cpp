#include <cstddef>
#include <cstdlib>

#include "platform/message_store/mapi_types.h"

namespace {

// Each block starts with this header; blocks allocated "more" against a parent are chained behind
// it, so that freeing the parent frees them all.
struct alignas(std::max_align_t) BlockHeader {
  BlockHeader* next;
};

BlockHeader* HeaderOf(LPVOID buffer) { return static_cast<BlockHeader*>(buffer) - 1; }

BlockHeader* NewBlock(ULONG size) {
  void* memory = std::calloc(1, sizeof(BlockHeader) + size);
  if (memory == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(memory);
  header->next = nullptr;
  return header;
}

}  // namespace

SCODE MAPIAllocateBuffer(ULONG size, LPVOID* buffer) {
  if (buffer == nullptr) return MAPI_E_INVALID_PARAMETER;
  BlockHeader* block = NewBlock(size);
  *buffer = block ? block + 1 : nullptr;
  return block ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

SCODE MAPIAllocateMore(ULONG size, LPVOID parent, LPVOID* buffer) {
  if (buffer == nullptr || parent == nullptr) return MAPI_E_INVALID_PARAMETER;
  BlockHeader* block = NewBlock(size);
  if (block == nullptr) {
    *buffer = nullptr;
    return MAPI_E_NOT_ENOUGH_MEMORY;
  }
  BlockHeader* owner = HeaderOf(parent);
  block->next = owner->next;
  owner->next = block;
  *buffer = block + 1;
  return S_OK;
}

ULONG MAPIFreeBuffer(LPVOID buffer) {
  if (buffer == nullptr) return 0;
  BlockHeader* block = HeaderOf(buffer);
  while (block != nullptr) {
    BlockHeader* next = block->next;
    std::free(block);
    block = next;
  }
  return 0;
}

void FreeProws(LPSRowSet rows) {
  if (rows == nullptr) return;
  for (ULONG i = 0; i < rows->cRows; ++i) MAPIFreeBuffer((&rows->aRow[0])[i].lpProps);
  MAPIFreeBuffer(rows);
}

LPSPropValue PpropFindProp(LPSPropValue values, ULONG count, ULONG tag) {
  if (values == nullptr) return nullptr;
  for (ULONG i = 0; i < count; ++i) {
    bool sameId = PROP_ID(values[i].ulPropTag) == PROP_ID(tag);
    if (sameId && (PROP_TYPE(tag) == PT_UNSPECIFIED || values[i].ulPropTag == tag)) return &values[i];
  }
  return nullptr;
}
