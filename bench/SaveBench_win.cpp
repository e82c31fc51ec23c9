// SaveBench_win.cpp - ostrevin_bench.exe: times the save of attachments, the numbering of taken names and the probe.
//
//   ostrevin_bench.exe STANDIN_OUTLOOK_EXE [--repeats N]
//
// Starts like ostrevin.exe (the Win32 ports, the program's module table),
// with a folder browser that answers at once and MAPI switched off, and
// drives one TOutlookEmailDragDropHandler as a drag would (DragEnter, then
// Drop or DragLeave) against the stand-in Outlook, whose fixtures it writes
// into the temporary folder. Every figure is the median of N repetitions
// (default 5), the two sides of a comparison interleaved, each in fresh
// folders; the table goes to stdout. Exit code 0 after the table, 1 when
// something could not be set up or a run did not do what it should (the
// reason goes to stderr): a figure of a save that did not save is no figure.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "StandInDriver_win.h"
#include "app/ModuleTable_win.h"
#include "app/StartUp.h"
#include "dragdrop/VemFxShellDragDrop.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/Format.h"
#include "foundation/TextEncoding.h"
#include "foundation/VemLXRegistry.h"
#include "outlook/OutlookDragDropHandler.h"
#include "outlook/OutlookSyncSettingsFrm.h"
#include "outlook/OutlookSyncSettingsFrm_win.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "platform/Shell.h"
#include "platform/WinApi_win.h"
#include "platform/Win32Platform.h"
#include "progress/VemLXCancelableFrm.h"
#include "progress/VemLXCancelableFrm_win.h"

namespace ostrevin::bench {
namespace {

constexpr int kMails = 100;
constexpr int kAttachmentsPerMail = 3;
constexpr int kAttachments = kMails * kAttachmentsPerMail;
constexpr std::uint64_t kAttachmentSize = 512 * 1024;
constexpr int kFewAlike = 200;
constexpr int kManyAlike = 2000;
constexpr int kProbeItems = 20000;
// The handler's progress text, which the timed calls show as it does.
constexpr const wchar_t* kProgressFormat = L"Processing %d of %d messages from Outlook";

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// ---- time ---------------------------------------------------------------------

class Stopwatch {
 public:
  Stopwatch() { Restart(); }
  void Restart() { QueryPerformanceCounter(&FStart); }
  double Ms() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - FStart.QuadPart) / static_cast<double>(frequency.QuadPart);
  }
  // The time since the last restart, and a restart.
  double Lap() {
    const double ms = Ms();
    Restart();
    return ms;
  }

 private:
  LARGE_INTEGER FStart;
};

double Median(std::vector<double> samples) {
  if (samples.empty()) return 0;
  std::sort(samples.begin(), samples.end());
  const std::size_t middle = samples.size() / 2;
  return samples.size() % 2 != 0 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

// ---- folders and files --------------------------------------------------------------

std::wstring BenchRoot() {
  wchar_t temp[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  if (length == 0 || length >= MAX_PATH) Fail("no temporary folder");
  return std::wstring(temp) + L"ostrevin-bench";
}

// Deletes Folder with everything in it; nothing when it is not there.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path);
    else DeleteFileW(path.c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
  RemoveDirectoryW(folder.c_str());
}

// Folder, made empty.
std::wstring FreshFolder(const std::wstring& folder) {
  RemoveTree(folder);
  if (!CreateDirectoryW(folder.c_str(), nullptr)) Fail("cannot make " + WideToUtf8(folder));
  return folder;
}

// The files in Folder and how many of them are Size bytes long.
struct FileCount {
  int Files = 0;
  int OfSize = 0;
};
FileCount CountFiles(const std::wstring& folder, std::uint64_t size) {
  FileCount count;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return count;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ++count.Files;
    if ((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow) == size) ++count.OfSize;
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return count;
}

// Writes Size bytes of "abc...z" repeated as the stand-in writes an
// attachment: 65510 bytes a call from one 64 KiB block.
void WritePatternFile(const std::wstring& path, std::uint64_t size) {
  static const std::string block = [] {
    std::string bytes(1 << 16, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
  }();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot create " + WideToUtf8(path));
  bool written = true;
  for (std::uint64_t offset = 0; written && offset < size;) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(block.size() - 26, size - offset));
    DWORD done = 0;
    written = WriteFile(file, block.data() + offset % 26, chunk, &done, nullptr) && done == chunk;
    offset += chunk;
  }
  CloseHandle(file);
  if (!written) Fail("cannot write " + WideToUtf8(path));
}

std::wstring AttachmentName(int mail, int part) {
  wchar_t name[32];
  std::swprintf(name, 32, L"m%03d-part%d.bin", mail, part);
  return name;
}

// ---- what the drag brings and the folder the user picks ----------------------------

// A dragged data object that offers Outlook's private format only.
class OutlookDragData final : public DataObject {
 public:
  std::unique_ptr<ClipboardFormatEnumerator> EnumFormats() override {
    class OneFormat final : public ClipboardFormatEnumerator {
     public:
      bool Next(std::uint16_t& format) override {
        if (FDone) return false;
        FDone = true;
        format = static_cast<std::uint16_t>(RegisterClipboardFormatW(kRenPrivateSourceFolder));
        return format != 0;
      }

     private:
      bool FDone = false;
    };
    return std::make_unique<OneFormat>();
  }
};

// The folder browser as a user who picks Folder at once.
class FolderAnswer final : public Shell {
 public:
  std::wstring Folder;
  std::optional<std::wstring> BrowseForFolder(const TFolderBrowseRequest&) override { return Folder; }
};

// ---- the table ----------------------------------------------------------------------

std::string Runs(const std::vector<double>& samples) {
  std::string text = "[";
  for (double sample : samples) {
    char number[32];
    std::snprintf(number, sizeof number, text.size() > 1 ? " %.0f" : "%.0f", sample);
    text += number;
  }
  return text + "]";
}

void Title(const char* title) { std::printf("\n%s\n", title); }
void Row(const char* what, double value, const char* unit, const std::string& note = {}) {
  std::printf("  %-50s %9.2f %-3s %s\n", what, value, unit, note.c_str());
}
void TimeRow(const char* what, const std::vector<double>& samples) { Row(what, Median(samples), "ms", Runs(samples)); }

// ---- the bench ----------------------------------------------------------------------

class Bench {
 public:
  Bench(const StandInDriver& standIn, FolderAnswer& browser, int repeats)
      : FStandIn(standIn), FBrowser(browser), FRepeats(repeats), FRoot(FreshFolder(BenchRoot())) {}
  ~Bench() { RemoveTree(FRoot); }

  void SaveAgainstCopy();
  void NumberingOverFiles();
  void NumberingThroughStandIn();
  void Probe();

 private:
  // Registers the fixture, lets a first drag start the stand-in and connect
  // the broker (untimed), and gives the session back.
  void StartStandIn(const wchar_t* name, const std::string& mailbox) {
    const std::wstring fixture = FRoot + L"\\fixture-" + name;
    WriteFixture(fixture, FixtureHeader() + mailbox);
    FStandIn.Register(fixture);
    Enter();
    FHandler.DragLeave();
  }
  // DragEnter as a drag of Outlook's items brings it; false: refused.
  bool TryEnter() {
    std::uint32_t effect = DropEffect::Copy;
    return FHandler.DragEnter(FData, 0, effect);
  }
  void Enter() {
    if (!TryEnter()) Fail("the handler refused the drag");
  }
  // Drop into Folder; its time in milliseconds.
  double TimedDrop(const std::wstring& folder) {
    FBrowser.Folder = folder;
    Enter();
    std::uint32_t effect = DropEffect::Copy;
    Stopwatch watch;
    FHandler.Drop(FData, 0, effect);
    return watch.Ms();
  }
  void Expect(const std::wstring& folder, int files, std::uint64_t size, const char* what) {
    const FileCount count = CountFiles(folder, size);
    if (count.Files != files || count.OfSize != files)
      Fail(std::string(what) + ": " + std::to_string(count.Files) + " files (" + std::to_string(count.OfSize) +
           " of the right size), expected " + std::to_string(files));
  }

  // The time of each kind of call SaveAttachments makes, made as it makes
  // them (Attachments and Item twice per attachment, the progress window
  // updated with the selection's Count per mail), with the releases of the
  // temporaries those calls leave.
  struct CallCosts {
    double Progress = 0, Mail = 0, Attachments = 0, Item = 0, FileName = 0, Reserve = 0, SaveAsFile = 0, Release = 0;
  };
  CallCosts TimeSaveCalls(const std::wstring& folder);
  // The time of the same save with the fewest calls the port allows:
  // Attachments once per mail, Item once per attachment, no progress window.
  double TimeFewestCalls(const std::wstring& folder);

  const StandInDriver& FStandIn;
  FolderAnswer& FBrowser;
  const int FRepeats;
  const std::wstring FRoot;
  TOutlookEmailDragDropHandler FHandler;
  OutlookDragData FData;
};

// 1. Saving 100 mails with three 512 KiB attachments each, against copying
// the same 300 files with CopyFileW.
void Bench::SaveAgainstCopy() {
  std::string mailbox = "selection 1";
  for (int mail = 2; mail <= kMails; ++mail) mailbox += "," + std::to_string(mail);
  mailbox += "\n";
  const std::wstring source = FreshFolder(FRoot + L"\\copy-source");
  for (int mail = 1; mail <= kMails; ++mail) {
    mailbox += "mail \"Mail " + std::to_string(mail) + "\"\n";
    for (int part = 1; part <= kAttachmentsPerMail; ++part) {
      mailbox += "attachment \"" + WideToUtf8(AttachmentName(mail, part)) + "\" size " + std::to_string(kAttachmentSize) + "\n";
      WritePatternFile(source + L"\\" + AttachmentName(mail, part), kAttachmentSize);
    }
  }
  StartStandIn(L"save", mailbox);

  std::vector<double> saves, copies, writes, fewest, names, invokes;
  std::vector<CallCosts> costs;
  const std::wstring out = FRoot + L"\\out";
  for (int run = 0; run < FRepeats; ++run) {
    // The two sides take turns at going first.
    for (int side = 0; side < 2; ++side) {
      if ((side + run) % 2 == 0) {
        FreshFolder(out);
        saves.push_back(TimedDrop(out));
        Expect(out, kAttachments, kAttachmentSize, "the save");
      } else {
        FreshFolder(out);
        Stopwatch watch;
        for (int mail = 1; mail <= kMails; ++mail)
          for (int part = 1; part <= kAttachmentsPerMail; ++part) {
            const std::wstring name = L"\\" + AttachmentName(mail, part);
            if (!CopyFileW((source + name).c_str(), (out + name).c_str(), TRUE)) Fail("CopyFileW failed");
          }
        copies.push_back(watch.Ms());
        Expect(out, kAttachments, kAttachmentSize, "the copy");
      }
    }
    FreshFolder(out);
    costs.push_back(TimeSaveCalls(out));
    FreshFolder(out);
    fewest.push_back(TimeFewestCalls(out));
    const StandInDriver::CallTimes calls = FStandIn.TimeCalls(200);
    names.push_back(calls.GetIDsOfNames);
    invokes.push_back(calls.Invoke);
    FreshFolder(out);
    Stopwatch watch;
    for (int mail = 1; mail <= kMails; ++mail)
      for (int part = 1; part <= kAttachmentsPerMail; ++part)
        WritePatternFile(out + L"\\" + AttachmentName(mail, part), kAttachmentSize);
    writes.push_back(watch.Ms());
  }
  RemoveTree(out);
  FStandIn.Quit();

  Title("1. Save: 100 mails x 3 attachments of 512 KiB (medians, each run in brackets)");
  TimeRow("Drop: saved through the handler and stand-in", saves);
  TimeRow("CopyFileW of the same 300 files", copies);
  const double ratio = Median(saves) / Median(copies);
  Row("ratio save/copy", ratio, "", ratio <= 2 ? "(goal: at most 2, met)" : "(goal: at most 2, NOT met)");
  Row("cost per attachment beyond the copy", (Median(saves) - Median(copies)) / kAttachments, "ms");

  Title("   Where the save's time goes, per attachment (medians, ms)");
  auto perAttachment = [&](const char* what, double CallCosts::*part) {
    std::vector<double> values;
    for (const CallCosts& cost : costs) values.push_back(cost.*part / kAttachments);
    Row(what, Median(values), "ms");
    return Median(values);
  };
  double calls = 0;
  calls += perAttachment("progress window, Selection.Count: per mail / 3", &CallCosts::Progress);
  calls += perAttachment("Item(i), AsMailItem, Attachments().Count: / 3", &CallCosts::Mail);
  calls += perAttachment("Attachments() x 2", &CallCosts::Attachments);
  calls += perAttachment("Attachments.Item(j) x 2", &CallCosts::Item);
  calls += perAttachment("Attachment.FileName", &CallCosts::FileName);
  calls += perAttachment("MakePathUnique (reserves the name)", &CallCosts::Reserve);
  const double saveAsFile = perAttachment("Attachment.SaveAsFile (stand-in writes)", &CallCosts::SaveAsFile);
  calls += saveAsFile;
  calls += perAttachment("releases of the calls' temporaries", &CallCosts::Release);
  Row("sum of the calls", calls, "ms");
  Row("Drop, per attachment", Median(saves) / kAttachments, "ms");
  Row("the stand-in's write, done in this process", Median(writes) / kAttachments, "ms", Runs(writes) + " (300 files)");
  Row("CopyFileW, per file", Median(copies) / kAttachments, "ms");
  Row("SaveAsFile beyond its write (cross-process)", saveAsFile - Median(writes) / kAttachments, "ms");
  Row("one GetIDsOfNames into the stand-in", Median(names), "ms");
  Row("one Invoke into the stand-in (a property)", Median(invokes), "ms");
  TimeRow("the save with the fewest calls the port allows", fewest);
  Row("its ratio to the copy", Median(fewest) / Median(copies), "");
}

Bench::CallCosts Bench::TimeSaveCalls(const std::wstring& folder) {
  Enter();
  CallCosts cost;
  std::unique_ptr<OutlookSelection> selection = FHandler.NameSpace()->Application()->ActiveExplorer()->Selection();
  TUniquePaths paths;
  Stopwatch watch;
  std::optional<TCancelableMessageScope> progress(std::in_place, Format(kProgressFormat, {0, selection->Count()}));
  cost.Progress += watch.Lap();
  const std::int32_t mails = selection->Count();
  for (std::int32_t i = 1; i <= mails; ++i) {
    watch.Restart();
    UpdateCancelableMessage(Format(kProgressFormat, {i, selection->Count()}));
    cost.Progress += watch.Lap();
    std::unique_ptr<OutlookMailItem> mail = selection->Item(i)->AsMailItem();
    const std::int32_t count = mail->Attachments()->Count();
    cost.Mail += watch.Lap();
    for (std::int32_t j = 1; j <= count; ++j) {
      // The handler's temporaries go before it asks for the attachment
      // again, so COM makes new proxies for the second round.
      std::unique_ptr<OutlookAttachments> attachments = mail->Attachments();
      cost.Attachments += watch.Lap();
      std::unique_ptr<OutlookAttachment> attachment = attachments->Item(j);
      cost.Item += watch.Lap();
      std::wstring path = folder + L"\\" + SafeAttachmentFileName(attachment->FileName());
      cost.FileName += watch.Lap();
      attachment.reset();
      attachments.reset();
      cost.Release += watch.Lap();
      paths.MakePathUnique(path);
      cost.Reserve += watch.Lap();
      attachments = mail->Attachments();
      cost.Attachments += watch.Lap();
      attachment = attachments->Item(j);
      cost.Item += watch.Lap();
      attachment->SaveAsFile(path);
      cost.SaveAsFile += watch.Lap();
      attachment.reset();
      attachments.reset();
      cost.Release += watch.Lap();
    }
  }
  watch.Restart();
  progress.reset();
  cost.Progress += watch.Lap();
  selection.reset();
  FHandler.DragLeave();
  Expect(folder, kAttachments, kAttachmentSize, "the timed calls");
  return cost;
}

double Bench::TimeFewestCalls(const std::wstring& folder) {
  Enter();
  std::unique_ptr<OutlookSelection> selection = FHandler.NameSpace()->Application()->ActiveExplorer()->Selection();
  TUniquePaths paths;
  Stopwatch watch;
  const std::int32_t mails = selection->Count();
  for (std::int32_t i = 1; i <= mails; ++i) {
    std::unique_ptr<OutlookMailItem> mail = selection->Item(i)->AsMailItem();
    std::unique_ptr<OutlookAttachments> attachments = mail->Attachments();
    const std::int32_t count = attachments->Count();
    for (std::int32_t j = 1; j <= count; ++j) {
      std::unique_ptr<OutlookAttachment> attachment = attachments->Item(j);
      std::wstring path = folder + L"\\" + SafeAttachmentFileName(attachment->FileName());
      paths.MakePathUnique(path);
      attachment->SaveAsFile(path);
    }
  }
  const double ms = watch.Ms();
  selection.reset();
  FHandler.DragLeave();
  Expect(folder, kAttachments, kAttachmentSize, "the save with the fewest calls");
  return ms;
}

// 2a. MakePathUnique over the Win32 file system: 200 against 2,000 names
// alike, beside the file system alone: as many new files of distinct names
// (one CreateNewFile each, which is what a numbering without probes costs).
void Bench::NumberingOverFiles() {
  struct Side {
    int Count;
    bool Alike;
    std::vector<double> Samples;
  };
  Side sides[] = {{kFewAlike, true, {}}, {kManyAlike, true, {}}, {kFewAlike, false, {}}, {kManyAlike, false, {}}};
  const std::wstring out = FRoot + L"\\same";
  FileSystem& files = Current<FileSystem>();
  for (int run = 0; run < FRepeats; ++run) {
    for (int turn = 0; turn < 4; ++turn) {
      Side& side = sides[(turn + run) % 4];
      FreshFolder(out);
      TUniquePaths paths;
      std::wstring path;
      Stopwatch watch;
      for (int i = 1; i <= side.Count; ++i) {
        if (side.Alike) {
          path = out + L"\\same.txt";
          paths.MakePathUnique(path);
        } else {
          path = out + L"\\same (" + std::to_wstring(i) + L").txt";
          if (!files.CreateNewFile(path)) Fail("the name " + WideToUtf8(path) + " was taken");
        }
      }
      side.Samples.push_back(watch.Ms());
      if (path != out + L"\\same (" + std::to_wstring(side.Count) + L").txt") Fail("the last name is " + WideToUtf8(path));
      Expect(out, side.Count, 0, "the numbering");
    }
  }
  RemoveTree(out);

  Title("2. Numbering: \"same.txt\" again and again (medians, each run in brackets)");
  TimeRow("MakePathUnique x 200, Win32 file system", sides[0].Samples);
  TimeRow("MakePathUnique x 2,000, Win32 file system", sides[1].Samples);
  Row("ratio 2,000/200", Median(sides[1].Samples) / Median(sides[0].Samples), "", "(10: linear; 100: quadratic)");
  TimeRow("CreateNewFile x 200 distinct names", sides[2].Samples);
  TimeRow("CreateNewFile x 2,000 distinct names", sides[3].Samples);
  Row("ratio 2,000/200 of the file system alone", Median(sides[3].Samples) / Median(sides[2].Samples), "");
}

// 2b. The same names saved through the stand-in: one mail with 2,000
// attachments named alike against one with 200.
void Bench::NumberingThroughStandIn() {
  std::string mailbox = "selection 1\n";
  for (int count : {kFewAlike, kManyAlike}) {
    mailbox += "mail \"" + std::to_string(count) + " alike\"\n";
    for (int i = 0; i < count; ++i) mailbox += "attachment \"same.txt\" text \"x\"\n";
  }
  StartStandIn(L"numbering", mailbox);

  std::vector<double> few, many;
  const std::wstring out = FRoot + L"\\same";
  for (int run = 0; run < FRepeats; ++run) {
    for (int side = 0; side < 2; ++side) {
      const bool isFew = (side + run) % 2 == 0;
      FStandIn.Select(isFew ? L"1" : L"2");
      FreshFolder(out);
      (isFew ? few : many).push_back(TimedDrop(out));
      Expect(out, isFew ? kFewAlike : kManyAlike, 1, "the numbered save");
    }
  }
  RemoveTree(out);
  FStandIn.Quit();

  Title("   The same names saved through the handler and stand-in");
  TimeRow("Drop of 200 attachments \"same.txt\"", few);
  TimeRow("Drop of 2,000 attachments \"same.txt\"", many);
  Row("ratio 2,000/200", Median(many) / Median(few), "", "(10: linear; 100: quadratic)");
}

// 3. The probe over 20,000 selected items none of which is a mail, each
// answered after 1 ms.
void Bench::Probe() {
  std::string mailbox = "selection-delay 1\nselection 1";
  for (int item = 2; item <= kProbeItems; ++item) mailbox += "," + std::to_string(item);
  mailbox += "\n";
  for (int item = 1; item <= kProbeItems; ++item) mailbox += "appointment \"Appointment " + std::to_string(item) + "\"\n";
  StartStandIn(L"probe", mailbox);

  std::vector<double> probes;
  for (int run = 0; run < FRepeats; ++run) {
    Stopwatch watch;
    const bool accepted = TryEnter();
    probes.push_back(watch.Ms());
    FHandler.DragLeave();
    if (!accepted) Fail("the probe refused a selection it could not look through in time");
  }
  FStandIn.Quit();

  Title("3. Probe: 20,000 selected appointments, 1 ms each (medians, each run in brackets)");
  TimeRow("DragEnter, call to return (connected)", probes);
  Row("goal: within (the look gives up after 1,000 ms)", 1100, "ms", Median(probes) <= 1100 ? "(met)" : "(NOT met)");
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ostrevin_bench STANDIN_OUTLOOK_EXE [--repeats N]\n");
    return 1;
  }
  int repeats = 5;
  if (argc >= 4 && std::wstring_view(argv[2]) == L"--repeats") repeats = std::max(1, _wtoi(argv[3]));
  const StandInDriver standIn(argv[1]);

  // The ports ostrevin.exe installs, but a folder browser that answers at once.
  Win32Platform platform;
  std::unique_ptr<CancelableWindows> progress = MakeWin32CancelableWindows();
  std::unique_ptr<OutlookSyncWindows> outlookSync = MakeWin32OutlookSyncWindows();
  FolderAnswer browser;
  ScopedPort<CancelableWindows> progressPort(*progress);
  ScopedPort<OutlookSyncWindows> outlookSyncPort(*outlookSync);
  ScopedPort<Shell> browserPort(browser);

  // MAPI off before the settings window first reads it: no MAPI provider is needed.
  RegWriteBool(RegistryRoot::CurrentUser, kOutlookSyncSettingsKey, L"UseMapi", false);

  TModuleStartUp modules(ProgramModules());
  std::printf("Ostrevin benchmark: %d repetitions of each measurement, interleaved\n", repeats);
  Bench bench(standIn, browser, repeats);
  bench.SaveAgainstCopy();
  bench.NumberingOverFiles();
  bench.NumberingThroughStandIn();
  bench.Probe();
  std::fflush(stdout);
  return 0;
}

}  // namespace
}  // namespace ostrevin::bench

int wmain(int argc, wchar_t** argv) {
  try {
    return ostrevin::bench::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "ostrevin_bench: %s\n", ostrevin::WideToUtf8(ostrevin::ExceptionMessage(e)).c_str());
    return 1;
  }
}
