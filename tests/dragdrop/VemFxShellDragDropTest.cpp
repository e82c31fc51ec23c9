// VemFxShellDragDropTest.cpp - the drop target, the handler registry and the data-object helpers.
#include "dragdrop/VemFxShellDragDrop.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/FakeDragDrop.h"
#include "foundation/ExceptionDisplay.h"
#include "foundation/VemSysUtils.h"
#include "platform/OleError.h"
#include "platform/Ports.h"

namespace ostrevin {
namespace {

constexpr WindowHandle kWindow = 0x1234;
constexpr std::uint16_t kCfText = 1;
constexpr std::uint16_t kCfHdrop = 15;
constexpr std::uint32_t kAllEffects = DropEffect::Copy | DropEffect::Move | DropEffect::Link;
constexpr std::uint32_t kKeyState = 0x0001;  // MK_LBUTTON

// Writes each call into a shared log as "A.DragOver(1)": handler name,
// callback, and the effect word the handler was given.
class TRecordingHandler : public TShellDropHandler {
 public:
  TRecordingHandler(std::wstring name, std::vector<std::wstring>& log) : FName(std::move(name)), FLog(log) {}
  ~TRecordingHandler() override {
    if (Destroyed != nullptr) *Destroyed = true;
  }

  bool DragEnter(DataObject& dataObject, std::uint32_t, std::uint32_t& effect) override {
    Record(L"DragEnter", effect);
    if (CheckForOutlook && !HasRenPrivateSourceFolder(dataObject)) return false;
    return Accepts;
  }
  void DragOver(std::uint32_t, std::uint32_t& effect) override { Record(L"DragOver", effect); }
  void DragLeave() override { Record(L"DragLeave", std::nullopt); }
  void Drop(DataObject&, std::uint32_t, std::uint32_t& effect) override { Record(L"Drop", effect); }

  bool Accepts = true;
  bool CheckForOutlook = false;  // accepts only Outlook's format
  std::wstring ThrowsIn;         // the callback that raises
  bool* Destroyed = nullptr;

 private:
  void Record(const wchar_t* call, std::optional<std::uint32_t> effect) {
    FLog.push_back(FName + L"." + call + (effect ? L"(" + std::to_wstring(*effect) + L")" : L""));
    if (ThrowsIn == call) throw EVemGeneralError(FName + L" failed in " + call);
  }

  std::wstring FName;
  std::vector<std::wstring>& FLog;
};

class ShellDragDrop : public ::testing::Test {
 protected:
  void SetUp() override {
    InitializeVemFxShellDragDrop();
    FPreviousRoutine = SetShowExceptionRoutine(
        [this](const std::exception& e) { Shown.push_back(ExceptionClassName(e) + L": " + ExceptionMessage(e)); });
  }
  void TearDown() override {
    FinalizeVemFxShellDragDrop();
    SetShowExceptionRoutine(FPreviousRoutine);
  }

  TRecordingHandler& Register(const wchar_t* name) {
    auto handler = std::make_unique<TRecordingHandler>(name, Log);
    TRecordingHandler& registered = *handler;
    RegisterDropHandler(std::move(handler));
    return registered;
  }

  // The callbacks as the platform reaches them: through the registration.
  DropTargetCallbacks& Target() { return *dragDrop.TargetOf(kWindow); }

  OleResult Enter(std::uint32_t& effect) { return Target().DragEnter(outlook, kKeyState, effect); }
  OleResult Over(std::uint32_t& effect) { return Target().DragOver(kKeyState, effect); }
  OleResult DropIt(std::uint32_t& effect) { return Target().Drop(outlook, kKeyState, effect); }

  FakeDragDrop dragDrop;
  ScopedPort<DragDrop> dragDropPort{dragDrop};
  FakeDataObject outlook{{kCfText, dragDrop.RegisterFormat(kRenPrivateSourceFolder)}};
  std::vector<std::wstring> Log;
  std::vector<std::wstring> Shown;

 private:
  ShowExceptionRoutine FPreviousRoutine;
};

// A handler that answers with `answer` in every callback that has an effect.
class TAnsweringHandler : public TRecordingHandler {
 public:
  TAnsweringHandler(std::wstring name, std::vector<std::wstring>& log, std::uint32_t answer)
      : TRecordingHandler(std::move(name), log), FAnswer(answer) {}
  bool DragEnter(DataObject& dataObject, std::uint32_t keyState, std::uint32_t& effect) override {
    const bool accepted = TRecordingHandler::DragEnter(dataObject, keyState, effect);
    effect = FAnswer;
    return accepted;
  }
  void DragOver(std::uint32_t keyState, std::uint32_t& effect) override {
    TRecordingHandler::DragOver(keyState, effect);
    effect = FAnswer;
  }

 private:
  std::uint32_t FAnswer;
};

TEST_F(ShellDragDrop, RegistryOwnsHandlersInOrderAndHandsThemBack) {
  bool firstDestroyed = false, secondDestroyed = false;
  auto first = std::make_unique<TRecordingHandler>(L"A", Log);
  auto second = std::make_unique<TRecordingHandler>(L"B", Log);
  first->Destroyed = &firstDestroyed;
  second->Destroyed = &secondDestroyed;
  TShellDropHandler* a = first.get();
  TShellDropHandler* b = second.get();
  EXPECT_EQ(RegisterDropHandler(std::move(first)), 0);
  EXPECT_EQ(RegisterDropHandler(std::move(second)), 1);
  ASSERT_EQ(DropHandlers()->size(), 2u);
  EXPECT_EQ((*DropHandlers())[0].get(), a);
  EXPECT_EQ((*DropHandlers())[1].get(), b);

  // Unregistering hands ownership back without freeing.
  std::unique_ptr<TShellDropHandler> back = UnregisterDropHandler(a);
  EXPECT_EQ(back.get(), a);
  EXPECT_FALSE(firstDestroyed);
  EXPECT_EQ(DropHandlers()->size(), 1u);
  EXPECT_EQ(UnregisterDropHandler(a), nullptr);
  EXPECT_EQ(UnregisterDropHandler(nullptr), nullptr);
  back.reset();
  EXPECT_TRUE(firstDestroyed);

  // Finalising frees what is still registered.
  FinalizeVemFxShellDragDrop();
  EXPECT_TRUE(secondDestroyed);
  EXPECT_EQ(DropHandlers(), nullptr);
  EXPECT_EQ(UnregisterDropHandler(b), nullptr);
}

TEST_F(ShellDragDrop, RegisteringWithoutRegistryOrHandlerRaises) {
  EXPECT_THROW(RegisterDropHandler(nullptr), EAssertionFailed);
  FinalizeVemFxShellDragDrop();
  bool destroyed = false;
  auto handler = std::make_unique<TRecordingHandler>(L"A", Log);
  handler->Destroyed = &destroyed;
  try {
    RegisterDropHandler(std::move(handler));
    ADD_FAILURE() << "no exception";
  } catch (const EVemInternalError& e) {
    EXPECT_EQ(e.Message(), L"Internal Error: DropHandlers not assigned.");
  }
  EXPECT_TRUE(destroyed);
}

TEST_F(ShellDragDrop, TargetRegistersItsWindowAndRevokesWhenDestroyed) {
  {
    TShellDropTarget target(kWindow);
    EXPECT_EQ(target.Handle(), kWindow);
    EXPECT_EQ(dragDrop.TargetOf(kWindow), &target);
  }
  ASSERT_EQ(dragDrop.Registrations().size(), 1u);
  EXPECT_TRUE(dragDrop.Registrations()[0].Revoked);
  EXPECT_EQ(dragDrop.TargetOf(kWindow), nullptr);

  // A refused registration raises the platform's error and leaves nothing registered.
  dragDrop.RefusedWindows[0x99] = static_cast<std::int32_t>(0x80040102u);  // DRAGDROP_E_INVALIDHWND
  try {
    TShellDropTarget refused(0x99);
    ADD_FAILURE() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(static_cast<std::uint32_t>(e.ErrorCode()), 0x80040102u);
  }
  EXPECT_EQ(dragDrop.TargetOf(0x99), nullptr);
}

class ShellDropTarget : public ShellDragDrop {
 protected:
  TShellDropTarget target{kWindow};
};

TEST_F(ShellDropTarget, WithoutAcceptingHandlerEveryDragShowsNoDrop) {
  for (const bool withRefusingHandler : {false, true}) {
    SCOPED_TRACE(withRefusingHandler);
    Log.clear();
    if (withRefusingHandler) Register(L"R").Accepts = false;

    std::uint32_t effect = kAllEffects;
    EXPECT_EQ(Enter(effect), kOleOk);
    EXPECT_EQ(effect, DropEffect::None);
    EXPECT_EQ(ActiveDropHandler(), nullptr);
    effect = kAllEffects;
    EXPECT_EQ(Over(effect), kOleOk);
    EXPECT_EQ(effect, DropEffect::None);
    effect = kAllEffects;
    EXPECT_EQ(DropIt(effect), kOleOk);
    EXPECT_EQ(effect, DropEffect::None);  // the source is never told its data moved
    EXPECT_EQ(Target().DragLeave(), kOleOk);

    EXPECT_EQ(Log, withRefusingHandler ? std::vector<std::wstring>{L"R.DragEnter(1)"} : std::vector<std::wstring>{});
    EXPECT_TRUE(Shown.empty());
  }
}

TEST_F(ShellDropTarget, FirstAcceptingHandlerGetsTheWholeDrag) {
  Register(L"R").Accepts = false;
  auto answering = std::make_unique<TAnsweringHandler>(L"A", Log, DropEffect::Link);
  TShellDropHandler* a = answering.get();
  RegisterDropHandler(std::move(answering));
  Register(L"B");

  // Every handler sees copy whatever the source offers; what the accepting
  // handler leaves is the answer.
  std::uint32_t effect = DropEffect::Move;
  EXPECT_EQ(Enter(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::Link);
  EXPECT_EQ(ActiveDropHandler(), a);
  effect = DropEffect::Move;
  EXPECT_EQ(Over(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::Link);
  effect = kAllEffects;
  EXPECT_EQ(DropIt(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::Copy);  // A leaves Drop's effect alone
  EXPECT_EQ(ActiveDropHandler(), nullptr);

  // A second drag that leaves.
  effect = kAllEffects;
  Enter(effect);
  EXPECT_EQ(Target().DragLeave(), kOleOk);
  EXPECT_EQ(ActiveDropHandler(), nullptr);
  effect = kAllEffects;
  Over(effect);
  EXPECT_EQ(effect, DropEffect::None);

  EXPECT_EQ(Log, (std::vector<std::wstring>{L"R.DragEnter(1)", L"A.DragEnter(1)", L"A.DragOver(1)", L"A.Drop(1)",
                                            L"R.DragEnter(1)", L"A.DragEnter(1)", L"A.DragLeave"}));
}

TEST_F(ShellDropTarget, ExceptionInDragEnterIsShownAndAnsweredUnexpected) {
  class TRaisingHandler : public TShellDropHandler {
   public:
    explicit TRaisingHandler(std::function<void()> raise) : FRaise(std::move(raise)) {}
    bool DragEnter(DataObject&, std::uint32_t, std::uint32_t&) override {
      FRaise();
      return true;
    }
    void DragOver(std::uint32_t, std::uint32_t&) override {}
    void DragLeave() override {}
    void Drop(DataObject&, std::uint32_t, std::uint32_t&) override {}

   private:
    std::function<void()> FRaise;
  };
  struct Case {
    const wchar_t* Name;
    std::function<void()> Raise;
    std::size_t ShownCount;
    const wchar_t* ShownText;  // null: any text
  };
  const Case cases[] = {
      {L"own", [] { throw EVemGeneralError(L"Could not connect"); }, 1, L"EVemGeneralError: Could not connect"},
      {L"silent abort", [] { throw EAbort(); }, 0, nullptr},
      {L"foreign", [] { throw std::runtime_error("bad"); }, 1, nullptr},
      {L"not an exception", [] { throw 42; }, 1, L"Exception: Unknown exception"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FinalizeVemFxShellDragDrop();
    InitializeVemFxShellDragDrop();
    Log.clear();
    Shown.clear();
    // A drag whose drop failed left A active: the new drag must clear it.
    TRecordingHandler& a = Register(L"A");
    a.ThrowsIn = L"Drop";
    std::uint32_t effect = kAllEffects;
    Enter(effect);
    DropIt(effect);
    ASSERT_EQ(ActiveDropHandler(), &a);
    a.Accepts = false;
    Shown.clear();
    Log.clear();

    RegisterDropHandler(std::make_unique<TRaisingHandler>(c.Raise));
    Register(L"B");  // would accept if it were asked
    effect = DropEffect::Move;
    EXPECT_EQ(Enter(effect), kOleUnexpected);
    EXPECT_EQ(effect, DropEffect::Copy);
    EXPECT_EQ(ActiveDropHandler(), nullptr);
    ASSERT_EQ(Shown.size(), c.ShownCount);
    if (c.ShownText != nullptr) {
      EXPECT_EQ(Shown[0], c.ShownText);
    }
    EXPECT_EQ(Log, std::vector<std::wstring>{L"A.DragEnter(1)"});
  }
}

TEST_F(ShellDropTarget, ExceptionInDragLeaveOrDropKeepsTheHandlerUntilTheNextDragEnter) {
  for (const wchar_t* failing : {L"DragLeave", L"Drop"}) {
    SCOPED_TRACE(failing);
    FinalizeVemFxShellDragDrop();
    InitializeVemFxShellDragDrop();
    Log.clear();
    Shown.clear();
    TRecordingHandler& a = Register(L"A");
    a.ThrowsIn = failing;

    std::uint32_t effect = kAllEffects;
    Enter(effect);
    const OleResult result = std::wstring(failing) == L"Drop" ? DropIt(effect) : Target().DragLeave();
    EXPECT_EQ(result, kOleUnexpected);
    EXPECT_EQ(Shown, std::vector<std::wstring>{L"EVemGeneralError: A failed in " + std::wstring(failing)});
    EXPECT_EQ(ActiveDropHandler(), &a);
    effect = kAllEffects;
    EXPECT_EQ(Over(effect), kOleOk);  // still A's drag
    EXPECT_EQ(effect, DropEffect::Copy);

    a.Accepts = false;
    effect = kAllEffects;
    EXPECT_EQ(Enter(effect), kOleOk);
    EXPECT_EQ(ActiveDropHandler(), nullptr);
    EXPECT_EQ(effect, DropEffect::None);
  }
}

TEST_F(ShellDropTarget, UnregisteringTheActiveHandlerEndsItsDrag) {
  TRecordingHandler& a = Register(L"A");
  std::uint32_t effect = kAllEffects;
  Enter(effect);
  ASSERT_EQ(ActiveDropHandler(), &a);
  std::unique_ptr<TShellDropHandler> owned = UnregisterDropHandler(&a);
  EXPECT_EQ(ActiveDropHandler(), nullptr);

  effect = kAllEffects;
  EXPECT_EQ(Over(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::None);
  EXPECT_EQ(Target().DragLeave(), kOleOk);
  effect = kAllEffects;
  EXPECT_EQ(DropIt(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::None);
  EXPECT_EQ(Log, std::vector<std::wstring>{L"A.DragEnter(1)"});
}

TEST_F(ShellDropTarget, WithoutRegistryDragEnterReportsTheInternalError) {
  FinalizeVemFxShellDragDrop();
  std::uint32_t effect = kAllEffects;
  EXPECT_EQ(Enter(effect), kOleUnexpected);
  EXPECT_EQ(Shown, std::vector<std::wstring>{L"EVemInternalError: Internal Error: DropHandlers not assigned."});
}

TEST_F(ShellDropTarget, FailingEnumerationInAHandlerIsReported) {
  Register(L"A").CheckForOutlook = true;
  FakeDataObject broken{{kCfText}};
  broken.FailEnumeration = true;
  std::uint32_t effect = kAllEffects;
  EXPECT_EQ(Target().DragEnter(broken, kKeyState, effect), kOleUnexpected);
  EXPECT_EQ(effect, DropEffect::Copy);
  EXPECT_EQ(ActiveDropHandler(), nullptr);
  EXPECT_EQ(Shown, std::vector<std::wstring>{L"EOleSysError: Unspecified error"});

  // The same handler takes a drag from Outlook.
  effect = kAllEffects;
  EXPECT_EQ(Enter(effect), kOleOk);
  EXPECT_EQ(effect, DropEffect::Copy);
  EXPECT_NE(ActiveDropHandler(), nullptr);
}

TEST_F(ShellDragDrop, HasRenPrivateSourceFolderFindsTheExactNameAnywhere) {
  const std::uint16_t ren = dragDrop.RegisterFormat(kRenPrivateSourceFolder);
  const std::uint16_t other = dragDrop.RegisterFormat(L"FileGroupDescriptorW");
  const std::uint16_t lower = dragDrop.RegisterFormat(L"renprivatesourcefolder");
  const std::uint16_t longer = dragDrop.RegisterFormat(L"RenPrivateSourceFolder2");
  const std::uint16_t unnamed = 0xC0FF;
  struct Case {
    std::vector<std::uint16_t> Formats;
    bool Found;
    int Fetched;  // the enumeration stops at the match
  };
  const Case cases[] = {
      {{}, false, 0},
      {{ren}, true, 1},
      {{ren, kCfText, other}, true, 1},
      {{kCfText, ren, other}, true, 2},
      {{kCfText, other, unnamed, ren}, true, 4},
      {{lower, longer, kCfText, kCfHdrop, unnamed}, false, 5},
  };
  for (const Case& c : cases) {
    FakeDataObject data(c.Formats);
    EXPECT_EQ(HasRenPrivateSourceFolder(data), c.Found) << ::testing::PrintToString(c.Formats);
    EXPECT_EQ(data.FormatsFetched, c.Fetched);
  }

  FakeDataObject broken{{ren}};
  broken.FailEnumeration = true;
  EXPECT_THROW(HasRenPrivateSourceFolder(broken), EOleSysError);
}

TEST_F(ShellDragDrop, ClipboardFormatNames) {
  const std::uint16_t registered = dragDrop.RegisterFormat(L"Shell IDList Array");
  const std::pair<std::uint16_t, const wchar_t*> cases[] = {
      {0, L""},
      {1, L"CF_TEXT"},
      {2, L"CF_BITMAP"},
      {7, L"CF_OEMTEXT"},
      {13, L"CF_UNICODETEXT"},
      {15, L"CF_HDROP"},
      {16, L"CF_LOCALE"},
      {17, L""},  // CF_DIBV5 is not in the table
      {127, L""},
      {128, L"CF_OWNERDISPLAY"},
      {129, L"CF_DSPTEXT"},
      {130, L"CF_DSPBITMAP"},
      {131, L"CF_DSPMETAFILEPICT"},
      {132, L""},
      {registered, L"Shell IDList Array"},
      {0xC0FF, L""},
      {0xFFFF, L""},
  };
  for (auto [format, name] : cases) EXPECT_EQ(ClipboardFormatName(format), name) << format;
}

TEST(LookupCodeDesc, SearchesUpToLastIndexAndTakesTheFirstMatch) {
  const TCodeDescMap table[] = {{5, L"a"}, {7, L"b"}, {5, L"c"}};
  struct Case {
    std::uint32_t Code;
    int LastIndex;
    const wchar_t* Desc;
  };
  const Case cases[] = {
      {5, 2, L"a"}, {7, 0, L""}, {7, 1, L"b"}, {7, 99, L"b"}, {5, -1, L""}, {9, 2, L""},
  };
  for (const Case& c : cases) EXPECT_EQ(LookupCodeDesc(c.Code, table, c.LastIndex), c.Desc) << c.Code << "," << c.LastIndex;
}

}  // namespace
}  // namespace ostrevin
