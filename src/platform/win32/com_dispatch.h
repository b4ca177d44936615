#pragma once
// Late-bound COM automation: objects made from a ProgID and driven through
// IDispatch by member name, as a script would. Every failing call throws
// ComFailure with the object's own error description.

#include <windows.h>
// After windows.h, which it builds on.
#include <oleauto.h>

#include <initializer_list>
#include <string>

#include "common/failure.h"

namespace vsu::win32 {

// A failed COM call: its description and the HRESULT it failed with.
class ComFailure : public Failure {
 public:
  ComFailure(std::string description, HRESULT code) : Failure(std::move(description)), code_(code) {}
  HRESULT Code() const { return code_; }

 private:
  HRESULT code_;
};

// A VARIANT that clears itself.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant& other);
  Variant& operator=(const Variant& other);

  static Variant Text(const std::string& text);
  static Variant Int32(long number);
  static Variant Int16(short number);
  static Variant Bool(bool flag);
  static Variant Null();
  // An optional argument left out.
  static Variant Missing();

  VARIANT* get() { return &value_; }
  const VARIANT* get() const { return &value_; }

 private:
  VARIANT value_;
};

// An owned IDispatch pointer.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IDispatch* object) : object_(object) {}
  ~Dispatch();
  Dispatch(Dispatch&& other) noexcept;
  Dispatch& operator=(Dispatch&& other) noexcept;
  Dispatch(const Dispatch&) = delete;
  Dispatch& operator=(const Dispatch&) = delete;

  // Creates an object of the class a ProgID names.
  static Dispatch Create(const std::string& progId);

  IDispatch* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  // Calls a method; the arguments are given in their natural order.
  Variant Call(const std::string& member, std::initializer_list<Variant> arguments = {});
  Variant Get(const std::string& member, std::initializer_list<Variant> arguments = {});
  void Put(const std::string& member, const Variant& value);

 private:
  Variant Invoke(const std::string& member, WORD flags, std::initializer_list<Variant> arguments,
                 const Variant* putValue);
  IDispatch* object_ = nullptr;
};

// The object a VARIANT holds (VT_DISPATCH); throws Failure otherwise.
Dispatch TakeDispatch(Variant& value);

// Text in the ANSI code page from a BSTR, and back.
std::string FromBstr(BSTR text);
BSTR ToBstr(const std::string& text);

// The description of a failed COM call: what the failing object left in the
// thread's error information, else the system's text for the code.
// The description the failing COM call left for this thread; empty when none.
std::string ErrorInfoText();
std::string ComErrorText(HRESULT result);

}  // namespace vsu::win32
