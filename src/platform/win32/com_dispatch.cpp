#include "platform/win32/com_dispatch.h"

#include <ole2.h>

#include <utility>
#include <vector>

#include "common/failure.h"
#include "platform/win32/win32_errors.h"

namespace vsu::win32 {

Variant::Variant(const Variant& other) {
  VariantInit(&value_);
  VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    VariantClear(&value_);
    VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
  }
  return *this;
}

Variant Variant::Text(const std::string& text) {
  Variant v;
  v.value_.vt = VT_BSTR;
  v.value_.bstrVal = ToBstr(text);
  return v;
}

Variant Variant::Int32(long number) {
  Variant v;
  v.value_.vt = VT_I4;
  v.value_.lVal = number;
  return v;
}

Variant Variant::Int16(short number) {
  Variant v;
  v.value_.vt = VT_I2;
  v.value_.iVal = number;
  return v;
}

Variant Variant::Bool(bool flag) {
  Variant v;
  v.value_.vt = VT_BOOL;
  v.value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::Null() {
  Variant v;
  v.value_.vt = VT_NULL;
  return v;
}

Variant Variant::Missing() {
  Variant v;
  v.value_.vt = VT_ERROR;
  v.value_.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

Dispatch::~Dispatch() {
  if (object_) object_->Release();
}

Dispatch::Dispatch(Dispatch&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}

Dispatch& Dispatch::operator=(Dispatch&& other) noexcept {
  if (this != &other) {
    if (object_) object_->Release();
    object_ = std::exchange(other.object_, nullptr);
  }
  return *this;
}

Dispatch Dispatch::Create(const std::string& progId) {
  BSTR name = ToBstr(progId);
  CLSID classId{};
  HRESULT result = CLSIDFromProgID(name, &classId);
  SysFreeString(name);
  if (FAILED(result)) throw ComFailure("ActiveX component can't create object: " + progId, result);
  IDispatch* object = nullptr;
  result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&object));
  if (FAILED(result) || !object) throw ComFailure("ActiveX component can't create object: " + progId, result);
  return Dispatch(object);
}

Variant Dispatch::Call(const std::string& member, std::initializer_list<Variant> arguments) {
  return Invoke(member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, arguments, nullptr);
}

Variant Dispatch::Get(const std::string& member, std::initializer_list<Variant> arguments) {
  return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, nullptr);
}

void Dispatch::Put(const std::string& member, const Variant& value) {
  Invoke(member, DISPATCH_PROPERTYPUT, {}, &value);
}

Variant Dispatch::Invoke(const std::string& member, WORD flags, std::initializer_list<Variant> arguments,
                         const Variant* putValue) {
  if (!object_) throw Failure("Object variable not set");
  BSTR name = ToBstr(member);
  DISPID id = 0;
  HRESULT result = object_->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  SysFreeString(name);
  if (FAILED(result)) throw ComFailure("Object doesn't support this property or method: " + member, result);

  // IDispatch takes its arguments last first.
  std::vector<VARIANT> args;
  if (putValue) args.push_back(*putValue->get());
  for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) args.push_back(*it->get());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  params.rgvarg = args.empty() ? nullptr : args.data();
  params.cArgs = static_cast<UINT>(args.size());
  if (putValue) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  Variant out;
  EXCEPINFO exception{};
  UINT badArgument = 0;
  result = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, putValue ? nullptr : out.get(),
                           &exception, &badArgument);
  if (result == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
    std::string text = exception.bstrDescription ? FromBstr(exception.bstrDescription) : "";
    const HRESULT code = exception.scode ? exception.scode : result;
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrHelpFile);
    throw ComFailure(text.empty() ? ComErrorText(code) : text, code);
  }
  if (FAILED(result)) throw ComFailure(ComErrorText(result), result);
  return out;
}

Dispatch TakeDispatch(Variant& value) {
  VARIANT* v = value.get();
  if (v->vt != VT_DISPATCH || !v->pdispVal) throw Failure("Object required");
  IDispatch* object = v->pdispVal;
  object->AddRef();
  return Dispatch(object);
}

std::string FromBstr(BSTR text) {
  if (!text) return "";
  const int wide = static_cast<int>(SysStringLen(text));
  if (wide == 0) return "";
  const int size = WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, wide, out.data(), size, nullptr, nullptr);
  return out;
}

BSTR ToBstr(const std::string& text) {
  const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  BSTR out = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out, size);
  return out;
}

std::string ErrorInfoText() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || !info) return {};
  BSTR description = nullptr;
  info->GetDescription(&description);
  info->Release();
  std::string text = FromBstr(description);
  SysFreeString(description);
  return text;
}

std::string ComErrorText(HRESULT result) {
  std::string text = ErrorInfoText();
  if (!text.empty()) return text;
  return SystemMessage(static_cast<DWORD>(result));
}

}  // namespace vsu::win32
