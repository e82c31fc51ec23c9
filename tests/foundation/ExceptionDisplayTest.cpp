// ExceptionDisplayTest.cpp - ShowCurrentException and its display routines.
#include "foundation/ExceptionDisplay.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

// Records what reaches the displays, and puts the previous ones back after.
class ExceptionDisplay : public ::testing::Test {
 protected:
  struct Shown {
    std::wstring ClassName;
    std::wstring Message;
    bool Plain;
    bool IsCurrent;
  };

  void SetUp() override {
    FPreviousPlain = SetPlainExceptionDisplay([this](const std::exception& e, bool isCurrent) {
      FShown.push_back({ExceptionClassName(e), ExceptionMessage(e), true, isCurrent});
    });
    FPreviousRoutine = SetShowExceptionRoutine({});
  }
  void TearDown() override {
    SetPlainExceptionDisplay(FPreviousPlain);
    SetShowExceptionRoutine(FPreviousRoutine);
  }
  void InstallRoutine() {
    SetShowExceptionRoutine([this](const std::exception& e) {
      FShown.push_back({ExceptionClassName(e), ExceptionMessage(e), false, false});
    });
  }

  std::vector<Shown> FShown;

 private:
  PlainExceptionDisplay FPreviousPlain;
  ShowExceptionRoutine FPreviousRoutine;
};

TEST_F(ExceptionDisplay, CurrentExceptionGoesToThePlainDisplayWithoutARoutine) {
  try {
    throw EVemGeneralError(L"Could not create C:\\x");
  } catch (...) {
    ShowCurrentException();
  }
  ASSERT_EQ(FShown.size(), 1u);
  EXPECT_EQ(FShown[0].ClassName, L"EVemGeneralError");
  EXPECT_EQ(FShown[0].Message, L"Could not create C:\\x");
  EXPECT_TRUE(FShown[0].Plain);
  EXPECT_TRUE(FShown[0].IsCurrent);

  const EVemUserError given(L"given");
  ShowCurrentException(&given);
  ASSERT_EQ(FShown.size(), 2u);
  EXPECT_FALSE(FShown[1].IsCurrent);
}

TEST_F(ExceptionDisplay, InstalledRoutineTakesEveryException) {
  InstallRoutine();
  try {
    throw std::runtime_error("from the library");
  } catch (...) {
    ShowCurrentException();
  }
  try {
    throw 42;
  } catch (...) {
    ShowCurrentException();
  }
  ASSERT_EQ(FShown.size(), 2u);
  EXPECT_EQ(FShown[0].Message, L"from the library");
  EXPECT_FALSE(FShown[0].Plain);
  EXPECT_EQ(FShown[1].Message, L"Unknown exception");
}

TEST_F(ExceptionDisplay, SilentAbortAndNoExceptionShowNothing) {
  InstallRoutine();
  try {
    throw EAbort();
  } catch (...) {
    ShowCurrentException();
  }
  const EAbort abort;
  ShowCurrentException(&abort);
  ShowCurrentException();  // nothing is being handled
  EXPECT_TRUE(FShown.empty());
}

TEST_F(ExceptionDisplay, FailingRoutineDoesNotEscape) {
  SetShowExceptionRoutine([](const std::exception&) { throw std::runtime_error("display broke"); });
  try {
    throw Exception(L"x");
  } catch (...) {
    EXPECT_NO_THROW(ShowCurrentException());
  }
}

}  // namespace
}  // namespace ostrevin
