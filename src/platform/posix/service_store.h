#pragma once
// The persistent service database behind the Linux service manager: one
// SQLite file in the manager's directory, shared by every process that uses
// it. Each change runs in a write transaction taken up front, so processes
// queue behind each other instead of deadlocking; one that cannot get the
// store within about 2 s gives up (StoreError 1722).

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace vsu::posix {

struct ServiceRecord {
  std::string name;
  std::string binary;
  std::vector<std::string> args;
  pid_t pid = 0;                // the service's process while it runs, else 0
  std::uint64_t startTime = 0;  // that process's start time, so a reused id is not taken for it
  int forcedState = 0;          // a state reported instead of the real one; 0 for none
  bool markedForDelete = false;
  bool stopping = false;        // asked to stop, its process not yet ended
};

// Thrown by the store with the Win32 code the manager's call then fails with.
struct StoreError {
  std::uint32_t code;
};

class ServiceStore {
 public:
  // Opens the database in directory, creating both when missing. Throws StoreError.
  explicit ServiceStore(const std::string& directory);
  ~ServiceStore();
  ServiceStore(const ServiceStore&) = delete;
  ServiceStore& operator=(const ServiceStore&) = delete;

  // A write transaction; rolled back unless committed.
  class Transaction {
   public:
    explicit Transaction(ServiceStore& store);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

   private:
    ServiceStore& store_;
    bool open_ = true;
  };

  // The service named so (ignoring case), brought up to date first: a process
  // that has ended no longer runs it, and a service marked for deletion whose
  // process has ended is removed. Call inside a transaction.
  std::optional<ServiceRecord> Find(const std::string& name);
  void Insert(const ServiceRecord& record);
  // Stores the record's process, forced state, deletion mark and stop request.
  void Update(const ServiceRecord& record);
  void Remove(const std::string& name);

  // Denials belong to the name, whether or not a service has it.
  bool IsDenied(const std::string& name, const std::string& operation);
  void SetDenied(const std::string& name, const std::string& operation, bool denied);

 private:
  void Exec(const char* sql);
  sqlite3* db_ = nullptr;
};

}  // namespace vsu::posix
