// StartUpTest.cpp - start-up order, reverse shutdown and a failing start-up.
#include "app/StartUp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"

namespace ostrevin {
namespace {

using ::testing::ElementsAre;

std::vector<std::wstring> gLog;
bool gFailSecond = false;

void InitA() { gLog.push_back(L"init A"); }
void InitB() {
  if (gFailSecond) throw EVemGeneralError(L"B cannot start");
  gLog.push_back(L"init B");
}
void InitC() { gLog.push_back(L"init C"); }
void FinA() { gLog.push_back(L"fin A"); }
void FinB() {
  gLog.push_back(L"fin B");
  throw EVemGeneralError(L"B cannot stop");
}
void FinC() { gLog.push_back(L"fin C"); }

const TModuleRow kRows[] = {{L"A", InitA, FinA}, {L"B", InitB, FinB}, {L"NoState", nullptr, nullptr}, {L"C", InitC, FinC}};

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    gFailSecond = false;
    FPrevious = SetShowExceptionRoutine([this](const std::exception& e) { FShown.push_back(ExceptionMessage(e)); });
  }
  void TearDown() override { SetShowExceptionRoutine(FPrevious); }

  std::vector<std::wstring> FShown;
  ShowExceptionRoutine FPrevious;
};

TEST_F(StartUp, InitialisesInOrderAndFinalisesInReverse) {
  {
    TModuleStartUp modules(kRows);
    EXPECT_THAT(gLog, ElementsAre(L"init A", L"init B", L"init C"));
  }
  EXPECT_THAT(gLog, ElementsAre(L"init A", L"init B", L"init C", L"fin C", L"fin B", L"fin A"));
  // A failing shutdown step is shown and the earlier modules still stop.
  EXPECT_THAT(FShown, ElementsAre(L"B cannot stop"));
}

TEST_F(StartUp, FailedInitialisationUndoesTheModulesBeforeIt) {
  gFailSecond = true;
  EXPECT_THROW(TModuleStartUp modules(kRows), EVemGeneralError);
  EXPECT_THAT(gLog, ElementsAre(L"init A", L"fin A"));
}

}  // namespace
}  // namespace ostrevin
