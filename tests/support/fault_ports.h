#pragma once
// The real files and database behind wrappers whose countdown fails the due call the way it fails on its platform.

#include "support/fakes.h"

namespace vsu::test {

// Chosen paths hidden, unreadable or unwritable; a crashing countdown tears the due write in half.
class FilesWrapper : public Files {
 public:
  explicit FilesWrapper(Files& target) : target_(target) {}
  std::set<std::string> hidden;
  std::set<std::string> unreadable;
  std::set<std::string> unwritable;
  FaultCountdown* countdown = nullptr;

  bool FileExists(const std::string& p) override { return Count(p), !hidden.count(p) && target_.FileExists(p); }
  void RemoveFile(const std::string& path) override { Count(path), target_.RemoveFile(path); }
  void RenameFile(const std::string& old, const std::string& to) override { Count(old), target_.RenameFile(old, to); }
  // Creating the copier counts as a call, and so does each of its copies.
  std::unique_ptr<FileCopier> CreateFileCopier() override {
    Count("Scripting.FileSystemObject");
    return std::make_unique<Copier>(*this, target_.CreateFileCopier());
  }
  std::unique_ptr<InputFile> OpenForInput(const std::string& path) override {
    Count(path);
    if (unreadable.count(path)) throw Failure("Permission denied: " + path);
    return target_.OpenForInput(path);
  }
  std::unique_ptr<OutputFile> CreateForOutput(const std::string& path) override {
    Count(path);
    if (unwritable.count(path)) throw Failure("Permission denied: " + path);
    return std::make_unique<Output>(*this, target_.CreateForOutput(path), path);
  }
  void CreateFolder(const std::string& path) override { Count(path), target_.CreateFolder(path); }
  void ProbeWritable(const std::string& path) override { Count(path), target_.ProbeWritable(path); }
  std::uint64_t FreeBytes(const std::string& folder) override { return Count(folder), target_.FreeBytes(folder); }
  void Count(const std::string& path) { FaultThrow(countdown, "file " + path); }

 private:
  struct Output : OutputFile {
    Output(FilesWrapper& files, std::unique_ptr<OutputFile> target, std::string path)
        : files(files), target(std::move(target)), path(std::move(path)) {}
    void Write(std::string_view bytes) override {
      try {
        files.Count(path);
      } catch (const Crash&) {
        target->Write(bytes.substr(0, bytes.size() / 2));
        throw;
      }
      target->Write(bytes);
    }
    void Close() override { files.Count(path), target->Close(); }
    FilesWrapper& files;
    std::unique_ptr<OutputFile> target;
    std::string path;
  };
  struct Copier : FileCopier {
    Copier(FilesWrapper& files, std::unique_ptr<FileCopier> target) : files(files), target(std::move(target)) {}
    void Copy(const std::string& from, const std::string& to) override { files.Count(to), target->Copy(from, to); }
    FilesWrapper& files;
    std::unique_ptr<FileCopier> target;
  };
  Files& target_;
};

// Counts the objects alive, so a test sees that every one was released.
struct Live {
  explicit Live(long& count) : count(count) { ++count; }
  ~Live() { --count; }
  long& count;
};

class FaultConnection : public Connection {
 public:
  FaultConnection(std::unique_ptr<Connection> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(&c), live_(live) {}
  void Open(const std::string& cs) override {
    FaultThrow(c_, "Connection.Open"), inner_->Mode = Mode, inner_->Open(cs);
  }
  void Execute(const std::string& sql) override { FaultThrow(c_, "Execute " + sql), inner_->Execute(sql); }
  void BeginTrans() override { FaultThrow(c_, "BeginTrans"), inner_->BeginTrans(); }
  void CommitTrans() override { FaultThrow(c_, "CommitTrans"), inner_->CommitTrans(); }
  void Close() override { FaultThrow(c_, "Connection.Close"), inner_->Close(); }
  Connection& inner() { return *inner_; }

 private:
  std::unique_ptr<Connection> inner_;
  FaultCountdown* c_;
  Live live_;
};

class FaultRecordset : public Recordset {
 public:
  FaultRecordset(std::unique_ptr<Recordset> inner, FaultCountdown& c, long& live)
      : inner_(std::move(inner)), c_(&c), live_(live) {}
  void Open(const std::string& table, Connection& connection) override {
    FaultThrow(c_, "Recordset.Open " + table);
    inner_->CursorType = CursorType, inner_->LockType = LockType;
    inner_->Open(table, static_cast<FaultConnection&>(connection).inner());
  }
  bool Eof() override { return FaultThrow(c_, "Eof"), inner_->Eof(); }
  FieldValue Field(const std::string& name) override { return FaultThrow(c_, "Field " + name), inner_->Field(name); }
  void SetField(const std::string& column, const FieldValue& value) override {
    FaultThrow(c_, "SetField " + column), inner_->SetField(column, value);
  }
  void Update() override { FaultThrow(c_, "Update"), inner_->Update(); }
  void MoveNext() override { FaultThrow(c_, "MoveNext"), inner_->MoveNext(); }
  void Close() override { FaultThrow(c_, "Recordset.Close"), inner_->Close(); }
  std::vector<std::string> FieldNames() override { return FaultThrow(c_, "FieldNames"), inner_->FieldNames(); }

 private:
  std::unique_ptr<Recordset> inner_;
  FaultCountdown* c_;
  Live live_;
};

class FaultDatabase : public Database {
 public:
  FaultDatabase(Database& inner, FaultCountdown& c) : inner_(inner), c_(c) {}
  std::unique_ptr<Connection> CreateConnection() override {
    FaultThrow(&c_, "CreateConnection");
    return std::make_unique<FaultConnection>(inner_.CreateConnection(), c_, live);
  }
  std::unique_ptr<Recordset> CreateRecordset() override {
    FaultThrow(&c_, "CreateRecordset");
    return std::make_unique<FaultRecordset>(inner_.CreateRecordset(), c_, live);
  }
  void CopyDatabase(const std::string& from, const std::string& to) override {
    FaultThrow(&c_, "CopyDatabase " + from), inner_.CopyDatabase(from, to);
  }
  long live = 0;  // connections and recordsets made and not yet destroyed

 private:
  Database& inner_;
  FaultCountdown& c_;
};

// One countdown over every port of a test platform.
class FaultPorts {
 public:
  FaultPorts(TestPlatform& t, FaultCountdown& c)
      : files_(t.files),
        db_(t.db, c),
        platform{t.system, files_, t.clock, t.ui, t.log, db_, t.scm, t.processes, t.launcher, t.ip} {
    files_.countdown = t.scm.countdown = t.processes.countdown = t.launcher.countdown = t.ip.countdown = &c;
  }
  long LiveDatabaseObjects() const { return db_.live; }

 private:
  FilesWrapper files_;
  FaultDatabase db_;

 public:
  Platform platform;
};

}  // namespace vsu::test
