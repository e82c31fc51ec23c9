// VemSysUtils.h - the system's exception classes.
//
// Every error that crosses a module boundary is an exception rooted in
// `Exception`. The class says who is at fault and so how the exception
// display treats it:
//
//   throw EVemInternalError(L"Internal Error: Key contains a backslash: " + key);
//   throw EVemUserError(L"Please choose a folder.");   // plain message box only
//   throw EAbort();                                     // a user's cancel: shown nowhere
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace ostrevin {

// Where an exception was raised, recorded by the error-report module when it
// installs its capture hook. Opaque to everything else.
struct StackRecord;

class Exception : public std::exception {
 public:
  explicit Exception(std::wstring message);
  // Raised while `inner` was being handled; the error report shows both.
  Exception(std::wstring message, std::exception_ptr inner);

  // The class name the error report prints ("EVemInternalError", ...).
  virtual std::wstring_view ClassName() const noexcept { return L"Exception"; }

  const std::wstring& Message() const noexcept { return FMessage; }
  void SetMessage(std::wstring message);
  const std::exception_ptr& InnerException() const noexcept { return FInnerException; }
  // Empty until a capture hook is installed.
  const std::shared_ptr<const StackRecord>& StackInfo() const noexcept { return FStackInfo; }

  // The message as UTF-8.
  const char* what() const noexcept override { return FWhat.c_str(); }

  // Called by every constructor to record where the exception is raised.
  // The hook must not throw; null removes it.
  using StackCaptureHook = std::shared_ptr<const StackRecord> (*)();
  static void SetStackCaptureHook(StackCaptureHook hook) noexcept;

 private:
  std::wstring FMessage;
  std::string FWhat;
  std::exception_ptr FInnerException;
  std::shared_ptr<const StackRecord> FStackInfo;
};

// Declares an exception class that adds nothing but its name.
#define OSTREVIN_DECLARE_EXCEPTION(Name, Base)                                 \
  class Name : public Base {                                                   \
   public:                                                                     \
    using Base::Base;                                                          \
    std::wstring_view ClassName() const noexcept override { return L"" #Name; } \
  }

// Programming and state errors; messages begin "Internal Error: ".
OSTREVIN_DECLARE_EXCEPTION(EVemInternalError, Exception);
// Failures of the environment: a folder that cannot be made, a failed process.
OSTREVIN_DECLARE_EXCEPTION(EVemGeneralError, Exception);
// Conditions the user must correct; shown in a plain message box.
OSTREVIN_DECLARE_EXCEPTION(EVemUserError, Exception);
// A failed precondition check; the message begins "Assertion failure".
OSTREVIN_DECLARE_EXCEPTION(EAssertionFailed, Exception);
// Text that cannot be converted: a bad format string, a number out of form.
OSTREVIN_DECLARE_EXCEPTION(EConvertError, Exception);
// A number outside the range of its destination.
OSTREVIN_DECLARE_EXCEPTION(ERangeError, Exception);
// Integer arithmetic whose result does not fit: "Arithmetic overflow".
OSTREVIN_DECLARE_EXCEPTION(EIntOverflow, Exception);
// String list misuse: index out of bounds, insert into a sorted list.
OSTREVIN_DECLARE_EXCEPTION(EStringListError, Exception);
// A registry value that cannot be read or written.
OSTREVIN_DECLARE_EXCEPTION(ERegistryException, Exception);
// A resource (a form design, a string) that the program does not have.
OSTREVIN_DECLARE_EXCEPTION(EResNotFound, Exception);
// An operation that the object's state does not allow ("Cannot make a
// visible window modal").
OSTREVIN_DECLARE_EXCEPTION(EInvalidOperation, Exception);
// A component that cannot take a name ("A component named %s already exists").
OSTREVIN_DECLARE_EXCEPTION(EComponentError, Exception);
// A file that cannot be opened for reading ("Cannot open file ...").
OSTREVIN_DECLARE_EXCEPTION(EFOpenError, Exception);
// A file that cannot be created or written ("Cannot create file ...").
OSTREVIN_DECLARE_EXCEPTION(EFCreateError, Exception);

// The silent abort: a user's cancel. It unwinds without any message.
class EAbort : public Exception {
 public:
  EAbort() : Exception(L"Operation aborted") {}
  using Exception::Exception;
  std::wstring_view ClassName() const noexcept override { return L"EAbort"; }
};

// An operating-system call failed: "System Error.  Code: %d.\r\n%s".
class EOSError : public Exception {
 public:
  // `systemText` is the system's description of `errorCode`.
  EOSError(std::uint32_t errorCode, std::wstring_view systemText);
  std::wstring_view ClassName() const noexcept override { return L"EOSError"; }
  std::uint32_t ErrorCode() const noexcept { return FErrorCode; }

 private:
  std::uint32_t FErrorCode;
};

// Extra diagnostic text that the error report prints below the message.
class IExtraErrorInfo {
 public:
  virtual std::wstring GetExtraErrorInfo() const = 0;

 protected:
  ~IExtraErrorInfo() = default;
};

// An exception that carries text for the error report besides its message.
class EExtraInfoException : public Exception, public IExtraErrorInfo {
 public:
  EExtraInfoException(std::wstring message, std::wstring extraInfo);
  std::wstring_view ClassName() const noexcept override { return L"EExtraInfoException"; }
  const std::wstring& ExtraInfo() const noexcept { return FExtraInfo; }
  std::wstring GetExtraErrorInfo() const override { return FExtraInfo; }

 private:
  std::wstring FExtraInfo;
};

// The IExtraErrorInfo of `e`, or null when it has none.
const IExtraErrorInfo* QueryExtraErrorInfo(const std::exception& e) noexcept;

}  // namespace ostrevin
