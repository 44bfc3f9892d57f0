#include "platform/pim/pim_store.h"

#include "platform/internal/sqlite_database.h"
#include "platform/kernel/device.h"

namespace platform::pim {
namespace {

using internal::SqliteDatabase;
using internal::SqliteTransaction;

// AUTOINCREMENT keeps identifiers from being given again after a delete.
constexpr std::string_view kSchema = R"(
CREATE TABLE IF NOT EXISTS contacts(
  id INTEGER PRIMARY KEY AUTOINCREMENT, given_name TEXT NOT NULL, family_name TEXT NOT NULL,
  file_as TEXT NOT NULL, mobile TEXT NOT NULL, home TEXT NOT NULL, work TEXT NOT NULL,
  email1 TEXT NOT NULL, email2 TEXT NOT NULL, email3 TEXT NOT NULL, photo BLOB NOT NULL,
  ring_tone TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS appointments(
  id INTEGER PRIMARY KEY AUTOINCREMENT, subject TEXT NOT NULL, location TEXT NOT NULL, note TEXT NOT NULL,
  start_time INTEGER NOT NULL, end_time INTEGER NOT NULL, all_day INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS tasks(
  id INTEGER PRIMARY KEY AUTOINCREMENT, subject TEXT NOT NULL, note TEXT NOT NULL, due INTEGER NOT NULL,
  complete INTEGER NOT NULL, priority INTEGER NOT NULL);
)";

constexpr std::string_view kContactColumns =
    "given_name, family_name, file_as, mobile, home, work, email1, email2, email3, photo, ring_tone";

std::string_view TableOf(PimKind kind) {
  switch (kind) {
    case PimKind::kContact: return "contacts";
    case PimKind::kAppointment: return "appointments";
    case PimKind::kTask: return "tasks";
  }
  return "contacts";
}

void BindContact(internal::SqliteStatement& statement, const Contact& contact) {
  const std::string fileAs = contact.fileAs.empty() ? DefaultFileAs(contact) : contact.fileAs;
  statement.Bind(1, contact.givenName)
      .Bind(2, contact.familyName)
      .Bind(3, fileAs)
      .Bind(4, contact.mobile)
      .Bind(5, contact.home)
      .Bind(6, contact.work)
      .Bind(7, contact.email[0])
      .Bind(8, contact.email[1])
      .Bind(9, contact.email[2])
      .BindBlob(10, contact.photo)
      .Bind(11, contact.ringTone);
}

}  // namespace

PimStore::PimStore(std::unique_ptr<SqliteDatabase> db) : m_db(std::move(db)) {}
PimStore::~PimStore() = default;

PimStore* PimStore::ForCurrentDevice(std::string* error) {
  static std::filesystem::path openRoot;
  static std::unique_ptr<PimStore> store;
  const std::filesystem::path& root = DeviceRoot();
  if (store && openRoot == root) return store.get();
  store.reset();
  std::string reason;
  auto db = SqliteDatabase::Open(root / "pim.db", &reason);
  if (db && !db->ReadOnly()) {
    // The schema is made under the write lock, so that two first users do not race. A device that
    // cannot be written is read as it is.
    SqliteTransaction transaction(*db);
    if (!transaction.ok() || !db->Execute(kSchema) || !transaction.Commit()) {
      reason = db->Problem();
      db.reset();
    }
  }
  if (!db) {
    if (error) *error = "contact store: " + reason;
    return nullptr;
  }
  store.reset(new PimStore(std::move(db)));
  openRoot = root;
  return store.get();
}

std::vector<std::int64_t> PimStore::Ids(PimKind kind) {
  std::vector<std::int64_t> ids;
  auto query = m_db->Prepare("SELECT id FROM " + std::string(TableOf(kind)) + " ORDER BY id");
  while (query.Step()) ids.push_back(query.Int(0));
  return ids;
}

std::optional<Contact> PimStore::FindContact(std::int64_t id) {
  auto query = m_db->Prepare("SELECT " + std::string(kContactColumns) + " FROM contacts WHERE id=?");
  if (!query.Bind(1, id).Step()) return std::nullopt;
  Contact contact;
  contact.id = id;
  contact.givenName = query.Text(0);
  contact.familyName = query.Text(1);
  contact.fileAs = query.Text(2);
  contact.mobile = query.Text(3);
  contact.home = query.Text(4);
  contact.work = query.Text(5);
  for (int i = 0; i < 3; ++i) contact.email[static_cast<std::size_t>(i)] = query.Text(6 + i);
  contact.photo = query.Blob(9);
  contact.ringTone = query.Text(10);
  return contact;
}

std::optional<Appointment> PimStore::FindAppointment(std::int64_t id) {
  auto query = m_db->Prepare(
      "SELECT subject, location, note, start_time, end_time, all_day FROM appointments WHERE id=?");
  if (!query.Bind(1, id).Step()) return std::nullopt;
  return Appointment{id, query.Text(0), query.Text(1), query.Text(2), query.Int(3), query.Int(4), query.Int(5) != 0};
}

std::optional<Task> PimStore::FindTask(std::int64_t id) {
  auto query = m_db->Prepare("SELECT subject, note, due, complete, priority FROM tasks WHERE id=?");
  if (!query.Bind(1, id).Step()) return std::nullopt;
  return Task{id, query.Text(0), query.Text(1), query.Int(2), query.Int(3) != 0, static_cast<int>(query.Int(4))};
}

std::optional<std::int64_t> PimStore::Insert(const Contact& contact) {
  auto insert = m_db->Prepare("INSERT INTO contacts(" + std::string(kContactColumns) +
                              ") VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
  BindContact(insert, contact);
  if (!insert.Run()) return std::nullopt;
  return m_db->LastInsertId();
}

std::optional<std::int64_t> PimStore::Insert(const Appointment& appointment) {
  auto insert = m_db->Prepare(
      "INSERT INTO appointments(subject, location, note, start_time, end_time, all_day) VALUES(?, ?, ?, ?, ?, ?)");
  if (!insert.Bind(1, appointment.subject)
           .Bind(2, appointment.location)
           .Bind(3, appointment.note)
           .Bind(4, appointment.start)
           .Bind(5, appointment.end)
           .Bind(6, appointment.allDay ? 1 : 0)
           .Run()) {
    return std::nullopt;
  }
  return m_db->LastInsertId();
}

std::optional<std::int64_t> PimStore::Insert(const Task& task) {
  auto insert = m_db->Prepare("INSERT INTO tasks(subject, note, due, complete, priority) VALUES(?, ?, ?, ?, ?)");
  if (!insert.Bind(1, task.subject)
           .Bind(2, task.note)
           .Bind(3, task.due)
           .Bind(4, task.complete ? 1 : 0)
           .Bind(5, task.priority)
           .Run()) {
    return std::nullopt;
  }
  return m_db->LastInsertId();
}

std::optional<std::int64_t> PimStore::Add(const Contact& contact) {
  std::vector<std::int64_t> ids;
  if (!AddAll({contact}, {}, {}, &ids)) return std::nullopt;
  return ids.front();
}

std::optional<std::int64_t> PimStore::Add(const Appointment& appointment) {
  std::vector<std::int64_t> ids;
  if (!AddAll({}, {appointment}, {}, &ids)) return std::nullopt;
  return ids.front();
}

std::optional<std::int64_t> PimStore::Add(const Task& task) {
  std::vector<std::int64_t> ids;
  if (!AddAll({}, {}, {task}, &ids)) return std::nullopt;
  return ids.front();
}

bool PimStore::AddAll(const std::vector<Contact>& contacts, const std::vector<Appointment>& appointments,
                      const std::vector<Task>& tasks, std::vector<std::int64_t>* ids) {
  std::vector<std::int64_t> added;
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) return false;
  auto keep = [&](std::optional<std::int64_t> id) {
    if (id) added.push_back(*id);
    return id.has_value();
  };
  for (const Contact& contact : contacts) {
    if (!keep(Insert(contact))) return false;
  }
  for (const Appointment& appointment : appointments) {
    if (!keep(Insert(appointment))) return false;
  }
  for (const Task& task : tasks) {
    if (!keep(Insert(task))) return false;
  }
  if (!transaction.Commit()) return false;
  if (ids) *ids = std::move(added);
  return true;
}

bool PimStore::Update(const Contact& contact) {
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) return false;
  auto update = m_db->Prepare(
      "UPDATE contacts SET given_name=?, family_name=?, file_as=?, mobile=?, home=?, work=?, email1=?, email2=?, "
      "email3=?, photo=?, ring_tone=? WHERE id=?");
  BindContact(update, contact);
  if (!update.Bind(12, contact.id).Run() || m_db->Changes() != 1) return false;
  return transaction.Commit();
}

bool PimStore::Remove(PimKind kind, std::int64_t id) {
  SqliteTransaction transaction(*m_db);
  if (!transaction.ok()) return false;
  auto remove = m_db->Prepare("DELETE FROM " + std::string(TableOf(kind)) + " WHERE id=?");
  if (!remove.Bind(1, id).Run() || m_db->Changes() != 1) return false;
  return transaction.Commit();
}

std::string PimStore::Problem() const { return m_db->Problem(); }

}  // namespace platform::pim
