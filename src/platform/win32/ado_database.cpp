#include "platform/win32/ado_database.h"

#include "common/failure.h"

namespace vsu::win32 {
namespace {

constexpr long kOptionsUnspecified = -1;
constexpr long kCmdTable = 2;  // adCmdTable: the source is a table name

}  // namespace

void AdoConnection::Open(const std::string& connectionString) {
  if (!connection_) connection_ = Dispatch::Create("ADODB.Connection");
  connection_.Put("ConnectionString", Variant::Text(connectionString));
  connection_.Call("Open", {Variant::Text(""), Variant::Text(""), Variant::Text(""),
                            Variant::Int32(kOptionsUnspecified)});
}

void AdoConnection::Execute(const std::string& statement) {
  // Execute hands back a recordset even for a definition statement; it is released at once.
  Variant rows = Object().Call("Execute", {Variant::Text(statement), Variant::Missing(),
                                           Variant::Int32(kOptionsUnspecified)});
}

void AdoConnection::Close() { Object().Call("Close"); }

Dispatch& AdoConnection::Object() {
  if (!connection_) throw Failure("Operation is not allowed when the object is closed.");
  return connection_;
}

void AdoRecordset::Open(const std::string& table, Connection& connection) {
  auto* ado = dynamic_cast<AdoConnection*>(&connection);
  if (!ado) throw Failure("The connection cannot be used to perform this operation.");
  if (!recordset_) {
    recordset_ = Dispatch::Create("ADODB.Recordset");
  }
  // Set before every open: the object keeps them, so this only repeats what it has.
  recordset_.Put("CursorType", Variant::Int32(CursorType));
  recordset_.Put("LockType", Variant::Int32(LockType));
  Variant active;
  active.get()->vt = VT_DISPATCH;
  active.get()->pdispVal = ado->Object().get();
  active.get()->pdispVal->AddRef();
  recordset_.Call("Open", {Variant::Text(table), active, Variant::Int32(kOptionsUnspecified),
                           Variant::Int32(kOptionsUnspecified), Variant::Int32(kCmdTable)});
}

bool AdoRecordset::Eof() {
  Variant eof = Object().Get("EOF");
  return eof.get()->vt == VT_BOOL && eof.get()->boolVal != VARIANT_FALSE;
}

FieldValue AdoRecordset::Field(const std::string& column) {
  Variant value = FieldObject(column).Get("Value");
  return FromVariant(value);
}

void AdoRecordset::SetField(const std::string& column, const FieldValue& value) {
  FieldObject(column).Put("Value", ToVariant(value));
}

void AdoRecordset::Update() { Object().Call("Update"); }

void AdoRecordset::MoveNext() { Object().Call("MoveNext"); }

void AdoRecordset::Close() { Object().Call("Close"); }

std::vector<std::string> AdoRecordset::FieldNames() {
  Variant fields = Object().Get("Fields");
  Dispatch collection = TakeDispatch(fields);
  Variant count = collection.Get("Count");
  std::vector<std::string> names;
  if (count.get()->vt != VT_I4) return names;
  for (long i = 0; i < count.get()->lVal; ++i) {
    Variant field = collection.Get("Item", {Variant::Int32(i)});
    Variant name = TakeDispatch(field).Get("Name");
    if (name.get()->vt == VT_BSTR) names.push_back(FromBstr(name.get()->bstrVal));
  }
  return names;
}

Dispatch& AdoRecordset::Object() {
  if (!recordset_) throw Failure("Operation is not allowed when the object is closed.");
  return recordset_;
}

Dispatch AdoRecordset::FieldObject(const std::string& column) {
  Variant fields = Object().Get("Fields");
  Variant field = TakeDispatch(fields).Get("Item", {Variant::Text(column)});
  return TakeDispatch(field);
}

FieldValue FromVariant(Variant& value) {
  VARIANT* v = value.get();
  switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_BSTR: return FromBstr(v->bstrVal);
    case VT_BOOL: return v->boolVal != VARIANT_FALSE;
    case VT_UI1: return static_cast<std::int16_t>(v->bVal);
    case VT_I2: return static_cast<std::int16_t>(v->iVal);
    case VT_I4: return static_cast<std::int32_t>(v->lVal);
    default: {
      Variant text;
      if (FAILED(VariantChangeType(text.get(), v, 0, VT_BSTR))) throw Failure("Type mismatch");
      return FromBstr(text.get()->bstrVal);
    }
  }
}

Variant ToVariant(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return Variant::Text(*text);
  if (const auto* flag = std::get_if<bool>(&value)) return Variant::Bool(*flag);
  if (const auto* small = std::get_if<std::int16_t>(&value)) return Variant::Int16(*small);
  if (const auto* number = std::get_if<std::int32_t>(&value)) return Variant::Int32(*number);
  return Variant::Null();
}

}  // namespace vsu::win32
