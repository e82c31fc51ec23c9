// ObjectModel_win.h - the stand-in Outlook's automation objects, rooted in the Application.
//
// The Application is one object for the life of the server; it owns the
// NameSpace, the Explorer, one object per mailbox item (with its
// attachments) and one per folder, so that asking twice for the same thing
// gives the same object. A Selection is made anew each time Explorer's
// Selection is read and keeps the items selected at that moment, as
// Outlook's does.
//
// Members are Outlook's automation names (see tests/standin/README.md for
// the list, and for the "StandIn" members tests control the server with).
// The Application is also the connection point container for
// ApplicationEvents; FireQuit calls each subscriber's Invoke with DISPID
// 0xF007.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/WinApi_win.h"
#include "standin/outlook/DispatchObject_win.h"
#include "standin/outlook/Mailbox_win.h"

#include <ocidl.h>

namespace ostrevin::standin {

// What the objects ask of the process that serves them.
struct TServerHooks {
  // Fire the quit event, then end the server once the current call has
  // returned (StandInQuit, Application.Quit).
  std::function<void()> Quit;
  // End the server the same way, without the event (StandInCrash).
  std::function<void()> Crash;
  // The explorer selection was set by a caller (StandInSetSelection).
  std::function<void()> SelectionChanged;
};

class TConnectionPoint;

class TApplication final : public TDispatchObject, public IConnectionPointContainer {
 public:
  // The mailbox is borrowed and must outlive the object.
  TApplication(const TMailbox& mailbox, TServerHooks hooks);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return TDispatchObject::QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TDispatchObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TDispatchObject::Release(); }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  const TMailbox& Mailbox() const noexcept { return FMailbox; }
  // The explorer selection: 0-based item indexes, in selection order.
  const std::vector<std::size_t>& Selection() const noexcept { return FSelection; }
  // Sets it without telling the hooks (the window sets it this way).
  void SetSelection(std::vector<std::size_t> selection) { FSelection = std::move(selection); }

  // Calls Quit on every subscriber; their failures are ignored.
  void FireQuit();
  // Forgets every subscriber without releasing it: a release would call
  // into the subscriber's process, which may not be answering.
  void AbandonSubscribers();

  IDispatch* NameSpace() const noexcept;
  IDispatch* Item(std::size_t index) const noexcept;
  IDispatch* Folder(int index) const noexcept;

  // Logon bookkeeping, for the StandIn members.
  LONG LogonCount = 0;
  LONG LogoffCount = 0;
  std::wstring LastLogonProfile;
  std::wstring LastLogonArguments;

 protected:
  ~TApplication() override;
  void* OtherInterface(REFIID iid) override;

 private:
  const TMailbox& FMailbox;
  TServerHooks FHooks;
  std::vector<std::size_t> FSelection;
  TComPtr<IDispatch> FNameSpace;
  TComPtr<IDispatch> FExplorer;
  std::vector<TComPtr<IDispatch>> FItems;
  std::vector<TComPtr<IDispatch>> FFolders;
  TConnectionPoint* FEvents;
};

}  // namespace ostrevin::standin
