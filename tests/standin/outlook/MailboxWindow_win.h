// MailboxWindow_win.h - the "Stand-in Outlook" window: the mailbox items in a list a person can drag from.
//
// The list (a report-view list view, several items selectable) shows each
// mailbox item with its kind, subject and attachments. Selecting items in
// it sets the explorer selection; dragging them starts an OLE drag whose
// data offers "RenPrivateSourceFolder", "RenPrivateMessages" and
// "FileGroupDescriptorW", as a drag of mails out of Outlook does, after
// making the dragged items the explorer selection.
//
// The window is also the server's message target: closing it calls the
// quit handler, a posted kIdleCheck the idle handler; destroying it ends
// the message loop.
#pragma once

#include <functional>

#include "platform/WinApi_win.h"
#include "standin/outlook/ObjectModel_win.h"

namespace ostrevin::standin {

class TMailboxWindow {
 public:
  // Posted by the server when its last client may have gone, so that it
  // looks again outside the COM call that told it.
  static constexpr UINT kIdleCheck = WM_APP + 1;

  // The application is borrowed and must outlive the window.
  TMailboxWindow(TApplication& application, std::function<void()> quitHandler, std::function<void()> idleHandler);
  ~TMailboxWindow();
  TMailboxWindow(const TMailboxWindow&) = delete;
  TMailboxWindow& operator=(const TMailboxWindow&) = delete;

  // Creates the window, shown without taking the focus unless `hidden`;
  // false when it cannot be created.
  bool Create(bool hidden);
  HWND Handle() const noexcept { return FWindow; }
  void Destroy();

  // Shows the application's explorer selection as the list's selection.
  void ShowSelection();

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateList();
  void TakeSelectionFromList();
  void StartDrag();

  TApplication& FApplication;
  std::function<void()> FQuitHandler;
  std::function<void()> FIdleHandler;
  HWND FWindow = nullptr;
  HWND FList = nullptr;
  // Set while ShowSelection changes the list, whose notifications must not
  // come back as a selection.
  bool FShowingSelection = false;
};

}  // namespace ostrevin::standin
