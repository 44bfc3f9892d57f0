#include "platform/message_store/property_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/com/com_object.h"

namespace platform::message_store {
namespace {

class PropertyStream final : public ComObject<IStream> {
 public:
  PropertyStream(std::shared_ptr<StoreDatabase> db, std::int64_t object, ULONG tag, std::string data, bool writable)
      : ComObject(IID_IStream),
        m_db(std::move(db)),
        m_object(object),
        m_tag(tag),
        m_data(std::move(data)),
        m_writable(writable) {}

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (buffer == nullptr && size > 0) return STG_E_INVALIDFUNCTION;
    std::size_t available = m_position < m_data.size() ? m_data.size() - m_position : 0;
    std::size_t count = std::min<std::size_t>(size, available);
    if (count > 0) std::memcpy(buffer, m_data.data() + m_position, count);
    m_position += count;
    if (read) *read = static_cast<ULONG>(count);
    return S_OK;
  }

  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
    if (written) *written = 0;
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (buffer == nullptr && size > 0) return STG_E_INVALIDFUNCTION;
    if (m_position + size > kMaxPropertyBytes) return STG_E_MEDIUMFULL;
    if (m_data.size() < m_position + size) m_data.resize(m_position + size);
    if (size > 0) std::memcpy(m_data.data() + m_position, buffer, size);
    m_position += size;
    if (written) *written = size;
    return S_OK;
  }

  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    long long base = origin == STREAM_SEEK_SET   ? 0
                     : origin == STREAM_SEEK_CUR ? static_cast<long long>(m_position)
                     : origin == STREAM_SEEK_END ? static_cast<long long>(m_data.size())
                                                 : -1;
    if (base < 0) return STG_E_INVALIDFUNCTION;
    // Bounded before the sum, which could overflow for moves near the type's limits.
    const auto limit = static_cast<long long>(kMaxPropertyBytes);
    if (move.QuadPart < -base || move.QuadPart > limit - base) return STG_E_INVALIDFUNCTION;
    long long target = base + move.QuadPart;
    m_position = static_cast<std::size_t>(target);
    if (newPosition) newPosition->QuadPart = m_position;
    return S_OK;
  }

  HRESULT SetSize(ULARGE_INTEGER size) override {
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (size.QuadPart > kMaxPropertyBytes) return STG_E_MEDIUMFULL;
    m_data.resize(static_cast<std::size_t>(size.QuadPart));
    return S_OK;
  }

  HRESULT Commit(DWORD) override {
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (!m_db->Find(m_object)) return MAPI_E_OBJECT_DELETED;
    return m_db->Set(m_object, m_tag, StoredValue{PROP_TYPE(m_tag), 0, m_data}) ? S_OK : MAPI_E_CALL_FAILED;
  }

  HRESULT Stat(STATSTG* stat, DWORD) override {
    if (stat == nullptr) return STG_E_INVALIDFUNCTION;
    *stat = STATSTG{};
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = m_data.size();
    return S_OK;
  }

 private:
  std::shared_ptr<StoreDatabase> m_db;
  std::int64_t m_object;
  ULONG m_tag;
  std::string m_data;
  std::size_t m_position = 0;
  bool m_writable;
};

}  // namespace

IStream* NewPropertyStream(std::shared_ptr<StoreDatabase> db, std::int64_t object, ULONG tag, std::string data,
                           bool writable) {
  return new PropertyStream(std::move(db), object, tag, std::move(data), writable);
}

}  // namespace platform::message_store
