// BusyStateWinTest.cpp - flash windows, the hourglass and the system information on a real display.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "foundation/BusyState.h"
#include "foundation/OfficeInstall.h"
#include "foundation/VemLXRegistry.h"
#include "foundation/VemLXVclUtilsWin32.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/SystemInfo.h"
#include "platform/Win32Adapters.h"
#include "platform/WinApi_win.h"
#include "platform/Win32Platform.h"

namespace ostrevin {
namespace {

class BusyStateWin : public ::testing::Test {
 protected:
  void SetUp() override { InstallWindowedBusyHooks(); }
  void TearDown() override { RemoveWindowedBusyHooks(); }

  static HWND FindFlashWindow(const wchar_t* caption) { return FindWindowW(kFlashWindowClassName, caption); }

  Win32Platform platform;
};

TEST_F(BusyStateWin, FlashWindowShowsOnlyItsTitleBarCentredOnTheScreen) {
  auto flash = FlashMessage(L"Connecting to Outlook...");
  const HWND window = FindFlashWindow(L"Connecting to Outlook...");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindowVisible(window));

  RECT client{}, frame{};
  GetClientRect(window, &client);
  GetWindowRect(window, &frame);
  EXPECT_EQ(client.bottom - client.top, 0);
  EXPECT_GE(frame.bottom - frame.top, GetSystemMetrics(SM_CYSMCAPTION));
  EXPECT_LT(frame.bottom - frame.top, 3 * GetSystemMetrics(SM_CYSMCAPTION));

  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, 0) << "no border icons";
  EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  flash.reset();
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(BusyStateWin, WidthGrowsWithTheText) {
  auto flash = FlashMessage(L"Short");
  const HWND window = FindFlashWindow(L"Short");
  ASSERT_NE(window, nullptr);
  RECT before{};
  GetWindowRect(window, &before);

  const std::wstring longText =
      L"Detecting web proxy settings for every connection of this machine, which may take a while...";
  UpdateFlashMessage(*flash, longText);
  EXPECT_EQ(GetFlashMessage(*flash), longText);
  EXPECT_EQ(FindFlashWindow(longText.c_str()), window);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  // Wide enough for the whole text in the title bar's font, frame and margins besides.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  const HFONT font = CreateFontIndirectW(&metrics.lfSmCaptionFont);
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, longText.data(), static_cast<int>(longText.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  DeleteObject(font);
  EXPECT_GT(after.right - after.left, extent.cx + 2 * GetSystemMetrics(SM_CXDLGFRAME));
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(BusyStateWin, FreeingTheActiveFlashWindowActivatesThePreviousWindow) {
  const HWND previous = CreateWindowExW(0, L"STATIC", L"previous", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(previous, nullptr);
  SetActiveWindow(previous);
  ASSERT_EQ(GetActiveWindow(), previous);

  auto flash = FlashMessage(L"Logging on...");
  const HWND window = FindFlashWindow(L"Logging on...");
  ASSERT_EQ(GetActiveWindow(), window);
  flash.reset();
  EXPECT_EQ(GetActiveWindow(), previous);
  DestroyWindow(previous);
}

TEST_F(BusyStateWin, HourglassIsSetAndRestored) {
  const HCURSOR wait = LoadCursorW(nullptr, IDC_WAIT);
  StartWait();
  EXPECT_EQ(GetCursor(), wait);
  EXPECT_EQ(Current<UserInterface>().ScreenCursor(), crHourGlass);
  StartWait();
  StopWait();
  EXPECT_EQ(GetCursor(), wait);
  StopWait();
  EXPECT_NE(GetCursor(), wait);
  EXPECT_EQ(Current<UserInterface>().ScreenCursor(), crDefault);

  auto flash = FlashMessage(L"Connecting to Outlook...");  // a flash message is a busy state too
  EXPECT_EQ(GetCursor(), wait);
  flash.reset();
  EXPECT_NE(GetCursor(), wait);
}

TEST_F(BusyStateWin, TestProgramIsAConsoleProgram) {
  EXPECT_TRUE(Current<UserInterface>().IsConsoleProgram());
  EXPECT_TRUE(Current<UserInterface>().IsMainThread());
}

TEST(SystemInfoWin, NativeArchitectureOfWineX64IsAMD64) {
  const std::unique_ptr<SystemInfo> system = MakeWin32SystemInfo();
  const std::optional<TSystemInfo> native = system->NativeSystemInfo();
  ASSERT_TRUE(native.has_value());
  EXPECT_EQ(native->FProcessorArchitecture, ProcessorArchitecture::AMD64);
  EXPECT_GE(native->FPageSize, 4096u);
  EXPECT_GE(native->FNumberOfProcessors, 1u);
  // This program is 64-bit: it sees the machine as it is.
  EXPECT_EQ(system->OrdinarySystemInfo().FProcessorArchitecture, ProcessorArchitecture::AMD64);
}

// The Office table against Wine's registry views and files.
class OfficeInstallWin : public ::testing::Test {
 protected:
  static constexpr const wchar_t* kKey = L"\\Software\\Microsoft\\Office\\16.0\\Outlook";

  void SetUp() override {
    Cleanup();
    const std::wstring temp = _wgetenv(L"TEMP") != nullptr ? _wgetenv(L"TEMP") : L"C:\\windows\\temp";
    folder = temp + L"\\OstrevinOfficeTest\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    Current<FileSystem>().WriteAllBytes(folder + L"OUTLOOK.EXE", {'M', 'Z'});
    FinalizeOfficeInstall();
  }
  void TearDown() override {
    Cleanup();
    DeleteFileW((folder + L"OUTLOOK.EXE").c_str());
    RemoveDirectoryW(folder.c_str());
    FinalizeOfficeInstall();
  }
  static void Cleanup() {
    TRegistry reg;
    reg.SetRootKey(RegistryRoot::LocalMachine);
    for (std::uint32_t view : {RegAccess::Wow64_32Key, RegAccess::Wow64_64Key}) {
      reg.SetAccess(RegAccess::AllAccess | view);
      reg.DeleteKey(kKey);
    }
  }
  void Register(std::uint32_t view) {
    TVemRegistryLX reg;
    reg.SetRootKey(RegistryRoot::LocalMachine);
    reg.SetAccess(RegAccess::AllAccess | view);
    reg.GotoKey(std::wstring(kKey) + L"\\InstallRoot", true);
    reg.WriteString(L"Path", folder);
  }

  Win32Platform platform;
  std::unique_ptr<SystemInfo> system = MakeWin32SystemInfo();
  ScopedPort<SystemInfo> systemPort{*system};
  std::wstring folder;
};

TEST_F(OfficeInstallWin, BuildFollowsTheRegistryView) {
  InitializeOfficeInstall();
  EXPECT_TRUE(IsWin64());
  EXPECT_EQ(GetOfficeAppInfo(TOfficeApp::Outlook).FVersionName, L"");

  Register(RegAccess::Wow64_32Key);
  InitializeOfficeInstall();
  EXPECT_EQ(GetOfficeAppInfo(TOfficeApp::Outlook).FVersionName, L"16.0");
  EXPECT_EQ(GetOfficeAppInfo(TOfficeApp::Outlook).FExePath, folder + L"OUTLOOK.EXE");
  EXPECT_TRUE(IsOutlookBitnessDifferentFromProgram());

  Register(RegAccess::Wow64_64Key);
  InitializeOfficeInstall();
  EXPECT_EQ(GetOfficeAppInfo(TOfficeApp::Outlook).FVersionName, L"16.0 [x64]");
  EXPECT_TRUE(IsOutlook64Bit());
  EXPECT_FALSE(IsOutlookBitnessDifferentFromProgram());
}

}  // namespace
}  // namespace ostrevin
