// ChecksTest.cpp - the one-line checks, the exception classes and EmptyParam.
#include "foundation/Checks.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"
#include "support/RaisedMessage.h"
#include "foundation/EmptyParam.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

TEST(Checks, RaiseTheirMessages) {
  EXPECT_EQ(RaisedMessage<Exception>([] { InternalCheck(false, L"Internal Error: broken"); }), L"Internal Error: broken");
  EXPECT_NO_THROW(InternalCheck(true, L"never"));
  EXPECT_EQ(RaisedMessage<Exception>([] { InternalCheckFmt(false, L"Internal Error: %d of %s", {3, L"x"}); }),
            L"Internal Error: 3 of x");
  int something = 0;
  EXPECT_NO_THROW(CheckAssigned(&something, L"Something"));
  EXPECT_EQ(RaisedMessage<EVemInternalError>([] { CheckAssigned(nullptr, L"GarbageCollectedFileList"); }),
            L"Internal Error: GarbageCollectedFileList not assigned.");

  const std::wstring assertion = RaisedMessage<EAssertionFailed>([] { Assert(false); });
  EXPECT_EQ(assertion.rfind(L"Assertion failure (ChecksTest.cpp, line ", 0), 0u) << assertion;
}

TEST(Checks, CheckFileExistsAsksTheFileSystem) {
  FakePlatform platform;
  platform.Files.AddFile(L"C:\\here.txt");
  EXPECT_NO_THROW(CheckFileExists(L"C:\\here.txt"));
  EXPECT_EQ(RaisedMessage<Exception>([] { CheckFileExists(L"C:\\gone.txt"); }),
            L"Internal Error: File does not exist: C:\\gone.txt");
}

TEST(Checks, ExceptionClassesNameThemselves) {
  EXPECT_EQ(EVemInternalError(L"").ClassName(), L"EVemInternalError");
  EXPECT_EQ(EVemUserError(L"").ClassName(), L"EVemUserError");
  EXPECT_EQ(EAbort().ClassName(), L"EAbort");

  const EOSError os(5, L"Access is denied.");
  EXPECT_EQ(os.Message(), L"System Error.  Code: 5.\r\nAccess is denied.");
  EXPECT_EQ(os.ErrorCode(), 5u);

  const EExtraInfoException extra(L"Could not open the file.", L"  Open (\"C:\\a.txt\")");
  const std::exception& any = extra;
  ASSERT_NE(QueryExtraErrorInfo(any), nullptr);
  EXPECT_EQ(QueryExtraErrorInfo(any)->GetExtraErrorInfo(), L"  Open (\"C:\\a.txt\")");
  EXPECT_EQ(QueryExtraErrorInfo(os), nullptr);

  // what() carries the message as UTF-8 for code outside the system.
  EXPECT_STREQ(Exception(L"Gr\u00FC\u00DFe").what(), "Gr\xC3\xBC\xC3\x9F" "e");
}

TEST(Checks, InnerExceptionIsKept) {
  try {
    try {
      throw EVemGeneralError(L"inner");
    } catch (...) {
      throw Exception(L"outer", std::current_exception());
    }
  } catch (const Exception& outer) {
    ASSERT_TRUE(outer.InnerException());
    EXPECT_EQ(RaisedMessage<EVemGeneralError>([&] { std::rethrow_exception(outer.InnerException()); }), L"inner");
  }
}

TEST(Checks, EmptyParamGuardsRestoreTheSharedValue) {
  const TAutomationError omitted{kVtError, kDispEParamNotFound};
  EXPECT_EQ(EmptyParam(), omitted);
  EXPECT_NO_THROW(CheckEmptyParamBefore());
  EmptyParam().Code = 0;
  EXPECT_EQ(RaisedMessage<Exception>([] { CheckEmptyParamBefore(); }), L"Internal Error: EmptyParam is invalid.");
  EXPECT_EQ(EmptyParam(), omitted);
  EmptyParam().VType = 0;
  EXPECT_EQ(RaisedMessage<Exception>([] { CheckEmptyParamAfter(); }), L"Internal Error: EmptyParam is no longer valid.");
  EXPECT_EQ(EmptyParam(), omitted);
  EXPECT_NO_THROW(CheckEmptyParamAfter());
}

}  // namespace
}  // namespace ostrevin
