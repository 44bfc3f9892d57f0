#include "resource_file_writer.h"

#include <fstream>
#include <map>
#include <tuple>

#include "binary_forms.h"

namespace resource_compiler {
namespace {

using Key = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>;  // type, identifier, variant

class EntryTable {
 public:
  bool Add(std::uint32_t type, std::uint32_t id, std::uint32_t variant, Bytes data, std::string* error) {
    if (!m_entries.emplace(Key{type, id, variant}, std::move(data)).second) {
      *error = "resource of type " + std::to_string(type) + " and number " + std::to_string(id) + " given twice";
      return false;
    }
    return true;
  }
  Bytes Serialize() const {
    Bytes out{'M', 'M', 'S', 'R', 'E', 'S', '0', '1'};
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
      for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    out.resize(12 + m_entries.size() * 20);
    put32(8, static_cast<std::uint32_t>(m_entries.size()));
    std::size_t slot = 12;
    for (const auto& [key, data] : m_entries) {
      while (out.size() % 4) out.push_back(0);
      put32(slot, std::get<0>(key));
      put32(slot + 4, std::get<1>(key));
      put32(slot + 8, std::get<2>(key));
      put32(slot + 12, static_cast<std::uint32_t>(out.size()));
      put32(slot + 16, static_cast<std::uint32_t>(data.size()));
      out.insert(out.end(), data.begin(), data.end());
      slot += 20;
    }
    return out;
  }

 private:
  std::map<Key, Bytes> m_entries;
};

template <typename Resource, typename Encoder>
bool AddAll(EntryTable& table, const std::vector<Resource>& resources, std::uint32_t type, Encoder encode,
            std::string* error) {
  for (const Resource& r : resources) {
    Bytes data;
    if (!encode(r, &data)) {
      *error = "resource of type " + std::to_string(type) + " and number " + std::to_string(r.id) +
               " holds malformed UTF-8";
      return false;
    }
    if (!table.Add(type, r.id, 1, std::move(data), error)) return false;
  }
  return true;
}

}  // namespace

bool WriteResourceFile(const ResourceSet& set, const std::filesystem::path& path, std::string* error) {
  EntryTable table;
  if (!AddAll(table, set.strings, kTypeString, EncodeString, error) ||
      !AddAll(table, set.fonts, kTypeFont, EncodeFont, error) ||
      !AddAll(table, set.menus, kTypeMenu, EncodeMenu, error) ||
      !AddAll(table, set.dialogs, kTypeDialog, EncodeDialog, error)) {
    return false;
  }
  for (const BitmapResource& b : set.bitmaps) {
    if (!table.Add(kTypeBitmap, b.id, 1, EncodeBitmap(b, 1), error) ||
        !table.Add(kTypeBitmap, b.id, 2, EncodeBitmap(b, 2), error)) {
      return false;
    }
  }
  Bytes bytes = table.Serialize();
  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      *error = "cannot write " + partial.string();
      return false;
    }
  }
  std::error_code fsError;
  std::filesystem::rename(partial, path, fsError);
  if (fsError) {
    *error = path.string() + ": " + fsError.message();
    return false;
  }
  return true;
}

}  // namespace resource_compiler
