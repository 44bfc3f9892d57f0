// The device's contact store: contacts, appointments and tasks in an SQLite database in the device
// root ("pim.db"). Item identifiers are stable: an identifier is never given twice, even after its
// item was deleted. Every write takes the database's write lock up front and is committed before
// the call returns, so that several processes of the device may share it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/pim/pim_items.h"

namespace platform::internal {
class SqliteDatabase;
}

namespace platform::pim {

class PimStore {
 public:
  // The store of the current device, opened on first use and again after the device changed; null
  // with *error when it cannot be opened.
  static PimStore* ForCurrentDevice(std::string* error = nullptr);
  ~PimStore();
  PimStore(const PimStore&) = delete;
  PimStore& operator=(const PimStore&) = delete;

  // Identifiers of the items of a kind, in the order they were added.
  std::vector<std::int64_t> Ids(PimKind kind);
  std::optional<Contact> FindContact(std::int64_t id);
  std::optional<Appointment> FindAppointment(std::int64_t id);
  std::optional<Task> FindTask(std::int64_t id);

  // Adding gives the new identifier (the item's own id is ignored); a contact without a file-as
  // files under its default. Nothing on failure.
  std::optional<std::int64_t> Add(const Contact& contact);
  std::optional<std::int64_t> Add(const Appointment& appointment);
  std::optional<std::int64_t> Add(const Task& task);
  // Adds several contacts, appointments and tasks as one: all are stored or none.
  bool AddAll(const std::vector<Contact>& contacts, const std::vector<Appointment>& appointments,
              const std::vector<Task>& tasks, std::vector<std::int64_t>* ids = nullptr);
  // Replaces the stored item of the same identifier; false when there is none.
  bool Update(const Contact& contact);
  bool Remove(PimKind kind, std::int64_t id);

  // The last failure in plain words (the device folder full or read-only, when that is why).
  std::string Problem() const;

 private:
  explicit PimStore(std::unique_ptr<internal::SqliteDatabase> db);
  std::optional<std::int64_t> Insert(const Contact& contact);
  std::optional<std::int64_t> Insert(const Appointment& appointment);
  std::optional<std::int64_t> Insert(const Task& task);

  std::unique_ptr<internal::SqliteDatabase> m_db;
};

}  // namespace platform::pim
