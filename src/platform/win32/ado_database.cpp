#include "platform/win32/ado_database.h"

#include "common/failure.h"
#include "platform/win32/ado_interfaces.h"
#include "platform/win32/com_dispatch.h"

namespace vsu::win32 {
namespace {

constexpr long kOptionsUnspecified = -1;

// ADO's texts for the codes the program meets, which an ADO without error
// information (Wine's) leaves without words.
const char* AdoWords(HRESULT code) {
  switch (static_cast<unsigned long>(code)) {
    case 0x800A0BB9: return "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
    case 0x800A0BCD: return "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";
    case 0x800A0CC1: return "Item cannot be found in the collection corresponding to the requested name or ordinal.";
    case 0x800A0E78: return "Operation is not allowed when the object is closed.";
    case 0x800A0E79: return "Operation is not allowed when the object is open.";
    case 0x800A0E7A:
    case 0x800401F3:  // CO_E_CLASSSTRING: what Wine answers for a provider it lacks
      return "Provider cannot be found. It may not be properly installed.";
    case 0x800A0E7D: return "The connection cannot be used to perform this operation. It is either closed or invalid in this context.";
    default: return nullptr;
  }
}

void Check(HRESULT result) {
  if (FAILED(result)) throw ComFailure(AdoErrorText(result), result);
}

template <typename T>
ComRef<T> CreateObject(const CLSID& objectClass, const IID& iid, const char* progId) {
  ComRef<T> object;
  const HRESULT result = CoCreateInstance(objectClass, nullptr, CLSCTX_INPROC_SERVER, iid,
                                          reinterpret_cast<void**>(object.Out()));
  if (FAILED(result) || !object) throw ComFailure(std::string("ActiveX component can't create object: ") + progId, result);
  return object;
}

// A field's VARIANT in the program's terms, and back.
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

}  // namespace

std::string AdoErrorText(long code) {
  // Read first: the error information belongs to the call that just failed.
  if (std::string text = ErrorInfoText(); !text.empty()) return text;
  if (const char* words = AdoWords(code)) return words;
  return ComErrorText(code);
}

AdoConnection::AdoConnection() = default;
AdoConnection::~AdoConnection() = default;

void AdoConnection::Open(const std::string& connectionString) {
  if (!connection_) connection_ = CreateObject<_ADOConnection>(ado::kConnectionClass, ado::kConnectionIid, "ADODB.Connection");
  const Variant text = Variant::Text(connectionString);
  Check(connection_->put_ConnectionString(text.get()->bstrVal));
  // ADO opens the ConnectionString property when the argument is empty, and
  // takes a given argument as that property; Wine's opens the argument alone.
  // The same text in both opens the same database everywhere.
  const Variant empty = Variant::Text("");
  const BSTR none = empty.get()->bstrVal;
  Check(connection_->Open(text.get()->bstrVal, none, none, kOptionsUnspecified));
}

void AdoConnection::Execute(const std::string& statement) {
  const Variant text = Variant::Text(statement);
  // The recordset Execute hands back, even for a definition statement, is released at once.
  ComRef<_ADORecordset> rows;
  Check(Object().Execute(text.get()->bstrVal, nullptr, kOptionsUnspecified, rows.Out()));
}

void AdoConnection::Close() { Check(Object().Close()); }

_ADOConnection& AdoConnection::Object() {
  if (!connection_) throw Failure(AdoWords(static_cast<HRESULT>(0x800A0E78)));
  return *connection_.get();
}

AdoRecordset::AdoRecordset() = default;
AdoRecordset::~AdoRecordset() = default;

void AdoRecordset::Open(const std::string& table, Connection& connection) {
  auto* ado = dynamic_cast<AdoConnection*>(&connection);
  if (!ado) throw Failure(AdoWords(static_cast<HRESULT>(0x800A0E7D)));
  if (!recordset_) recordset_ = CreateObject<_ADORecordset>(ado::kRecordsetClass, ado::kRecordsetIid, "ADODB.Recordset");
  // Set before every open: the object keeps them, so this only repeats what it has.
  Check(recordset_->put_CursorType(static_cast<CursorTypeEnum>(CursorType)));
  Check(recordset_->put_LockType(static_cast<LockTypeEnum>(LockType)));
  const Variant source = Variant::Text(table);
  Variant active;
  active.get()->vt = VT_DISPATCH;
  active.get()->pdispVal = &ado->Object();
  active.get()->pdispVal->AddRef();
  Check(recordset_->Open(*source.get(), *active.get(), adOpenUnspecified, adLockUnspecified, adCmdTable));
}

bool AdoRecordset::Eof() {
  VARIANT_BOOL eof = VARIANT_FALSE;
  Check(Object().get_EOF(&eof));
  return eof != VARIANT_FALSE;
}

FieldValue AdoRecordset::Field(const std::string& column) {
  Variant value;
  Check(FieldObject(column)->get_Value(value.get()));
  return FromVariant(value);
}

void AdoRecordset::SetField(const std::string& column, const FieldValue& value) {
  Check(FieldObject(column)->put_Value(*ToVariant(value).get()));
}

void AdoRecordset::Update() {
  const Variant missing = Variant::Missing();
  Check(Object().Update(*missing.get(), *missing.get()));
}

void AdoRecordset::MoveNext() { Check(Object().MoveNext()); }

void AdoRecordset::Close() { Check(Object().Close()); }

std::vector<std::string> AdoRecordset::FieldNames() {
  ComRef<ADOFields> fields;
  Check(Object().get_Fields(fields.Out()));
  long count = 0;
  Check(fields->get_Count(&count));
  std::vector<std::string> names;
  for (long i = 0; i < count; ++i) {
    ComRef<ADOField> field;
    Check(fields->get_Item(*Variant::Int32(static_cast<std::int32_t>(i)).get(), field.Out()));
    BSTR name = nullptr;
    Check(field->get_Name(&name));
    names.push_back(FromBstr(name));
    SysFreeString(name);
  }
  return names;
}

_ADORecordset& AdoRecordset::Object() {
  if (!recordset_) throw Failure(AdoWords(static_cast<HRESULT>(0x800A0E78)));
  return *recordset_.get();
}

ComRef<ADOField> AdoRecordset::FieldObject(const std::string& column) {
  ComRef<ADOFields> fields;
  Check(Object().get_Fields(fields.Out()));
  const Variant name = Variant::Text(column);
  ComRef<ADOField> field;
  Check(fields->get_Item(*name.get(), field.Out()));
  return field;
}

}  // namespace vsu::win32
