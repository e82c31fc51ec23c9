// StandInDriver_win.h - the benchmark's side of the stand-in Outlook: fixtures, registration, control members.
//
// The benchmark writes a mailbox fixture, registers the stand-in with it and
// lets the program's own connection start it through COM; between fixtures
// it ends the running stand-in so that the next connection starts a new one:
//
//   StandInDriver standIn(L"Z:\\...\\standin-outlook.exe");
//   WriteFixture(folder, FixtureHeader() + "selection 1\nmail \"Hello\"\n");
//   standIn.Register(folder);       // exit code 0 or an exception
//   ...                             // the broker connects: the stand-in runs
//   standIn.Select(L"2");
//   standIn.Quit();                 // Quit reaches the broker; the process has ended on return
//
// Failures raise std::runtime_error: a benchmark that cannot set up its
// world has nothing to measure.
#pragma once

#include <string>
#include <string_view>

namespace ostrevin::bench {

// The lines every fixture starts with: default folders, so that the
// Outlook settings window finds them when it is first made, and no window.
std::string FixtureHeader();
// Writes Text as FixtureFolder\mailbox.txt, creating the folder.
void WriteFixture(const std::wstring& fixtureFolder, const std::string& text);

class StandInDriver {
 public:
  // Exe is a Windows path, or a path of the Linux host ("/..."), which Wine
  // shows on drive Z:.
  explicit StandInDriver(std::wstring_view exe);

  // standin-outlook.exe /regserver FixtureFolder, which reads the fixture
  // first; anything but exit code 0 raises.
  void Register(const std::wstring& fixtureFolder) const;
  // StandInSetSelection(List) on the running stand-in.
  void Select(std::wstring_view list) const;
  // StandInQuit() on the running stand-in, then waits (handling this
  // thread's messages, so the Quit event reaches its subscribers) until its
  // process has ended. Nothing when none runs.
  void Quit() const;
  // The mean time of one GetIDsOfNames of Application.Name on the running
  // stand-in, and of one Invoke of it by that DISPID, over Calls of each
  // (late binding makes both for every member call), in milliseconds.
  struct CallTimes {
    double GetIDsOfNames = 0;
    double Invoke = 0;
  };
  CallTimes TimeCalls(int calls) const;

 private:
  std::wstring FExe;
};

}  // namespace ostrevin::bench
