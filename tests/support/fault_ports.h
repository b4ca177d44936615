#pragma once
// The real files and database behind wrappers whose countdown fails the due call the way it fails on its platform.

#include "support/fakes.h"

namespace vsu::test {

// A wrapped port object and the countdown its calls count on; a share of alive, if given, shows when it is released.
template <typename Port>
struct Wrapped : Port {
  Wrapped(std::unique_ptr<Port> inner, FaultCountdown* c, std::shared_ptr<void> alive, std::string call = "")
      : inner(std::move(inner)), c(c), alive(std::move(alive)), call(std::move(call)) {}
  std::unique_ptr<Port> inner;
  FaultCountdown* c;
  std::shared_ptr<void> alive;
  std::string call;  // the name a single-call object counts under
};

// Chosen paths hidden, unreadable or unwritable; a crashing countdown tears the due write in half.
struct FilesWrapper : Files {
  explicit FilesWrapper(Files& target) : target_(target) {}
  std::set<std::string> hidden, unreadable, unwritable;
  FaultCountdown* countdown = nullptr;

  bool FileExists(const std::string& p) override { return Count(p), !hidden.count(p) && target_.FileExists(p); }
  void RemoveFile(const std::string& path) override { Count(path), target_.RemoveFile(path); }
  void RenameFile(const std::string& old, const std::string& to) override { Count(old), target_.RenameFile(old, to); }
  // Creating the copier counts as a call, and so does each of its copies.
  std::unique_ptr<FileCopier> CreateFileCopier() override {
    Count("Scripting.FileSystemObject");
    return std::make_unique<Copier>(target_.CreateFileCopier(), countdown, nullptr);
  }
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override {
    return Count(path, unreadable), target_.OpenForInput(path);
  }
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override {
    Count(path, unwritable);
    return std::make_unique<Output>(target_.CreateForOutput(path), countdown, nullptr, "file " + path);
  }
  void CreateFolder(const std::string& path) override { Count(path), target_.CreateFolder(path); }
  void ProbeWritable(const std::string& path) override { Count(path), target_.ProbeWritable(path); }
  std::uint64_t FreeBytes(const std::string& folder) override { return Count(folder), target_.FreeBytes(folder); }
  // Counts a call on path; a path in refused fails as the platform refuses it.
  void Count(const std::string& path, const std::set<std::string>& refused = {}) {
    FaultThrow(countdown, "file " + path);
    if (refused.count(path)) throw Failure("Permission denied: " + path);
  }

 private:
  struct Output : Wrapped<OutputFile> {
    using Wrapped::Wrapped;
    void Write(std::string_view bytes) override {
      try {
        FaultThrow(c, call);
      } catch (const Crash&) {
        inner->Write(bytes.substr(0, bytes.size() / 2));
        throw;
      }
      inner->Write(bytes);
    }
    void Close() override { FaultThrow(c, call), inner->Close(); }
  };
  struct Copier : Wrapped<FileCopier> {
    using Wrapped::Wrapped;
    void Copy(const std::string& from, const std::string& to) override {
      FaultThrow(c, "file " + to), inner->Copy(from, to);
    }
  };
  Files& target_;
};

struct FaultConnection : Wrapped<Connection> {
  using Wrapped::Wrapped;
  void Open(const std::string& cs) override { FaultThrow(c, "Connection.Open"), inner->Mode = Mode, inner->Open(cs); }
  void Execute(const std::string& sql) override { FaultThrow(c, "Execute " + sql), inner->Execute(sql); }
  void BeginTrans() override { FaultThrow(c, "BeginTrans"), inner->BeginTrans(); }
  void CommitTrans() override { FaultThrow(c, "CommitTrans"), inner->CommitTrans(); }
  void Close() override { FaultThrow(c, "Connection.Close"), inner->Close(); }
};

struct FaultRecordset : Wrapped<Recordset> {
  using Wrapped::Wrapped;
  void Open(const std::string& table, Connection& connection) override {
    FaultThrow(c, "Recordset.Open " + table);
    inner->CursorType = CursorType, inner->LockType = LockType;
    inner->Open(table, *static_cast<FaultConnection&>(connection).inner);
  }
  bool Eof() override { return FaultThrow(c, "Eof"), inner->Eof(); }
  FieldValue Field(const std::string& name) override { return FaultThrow(c, "Field " + name), inner->Field(name); }
  void SetField(const std::string& name, const FieldValue& value) override {
    FaultThrow(c, "SetField " + name), inner->SetField(name, value);
  }
  void Update() override { FaultThrow(c, "Update"), inner->Update(); }
  void MoveNext() override { FaultThrow(c, "MoveNext"), inner->MoveNext(); }
  void Close() override { FaultThrow(c, "Recordset.Close"), inner->Close(); }
  std::vector<std::string> FieldNames() override { return FaultThrow(c, "FieldNames"), inner->FieldNames(); }
};

struct FaultDatabase : Database {
  FaultDatabase(Database& inner, FaultCountdown& c) : inner(inner), c(&c) {}
  std::unique_ptr<Connection> CreateConnection() override {
    return FaultThrow(c, "CreateConnection"), std::make_unique<FaultConnection>(inner.CreateConnection(), c, alive);
  }
  std::unique_ptr<Recordset> CreateRecordset() override {
    return FaultThrow(c, "CreateRecordset"), std::make_unique<FaultRecordset>(inner.CreateRecordset(), c, alive);
  }
  void CopyDatabase(const std::string& from, const std::string& to) override {
    FaultThrow(c, "CopyDatabase " + from), inner.CopyDatabase(from, to);
  }
  Database& inner;
  FaultCountdown* c;
  std::shared_ptr<void> alive = std::make_shared<char>();
};

// One countdown over every port of a test platform.
struct FaultPorts {
  FaultPorts(TestPlatform& t, FaultCountdown& c)
      : files(t.files),
        db(t.db, c),
        platform{t.system, files, t.clock, t.ui, t.log, db, t.scm, t.processes, t.launcher, t.ip} {
    files.countdown = t.scm.countdown = t.processes.countdown = t.launcher.countdown = t.ip.countdown = &c;
  }
  long LiveDatabaseObjects() const { return db.alive.use_count() - 1; }

  FilesWrapper files;
  FaultDatabase db;
  Platform platform;
};

}  // namespace vsu::test
