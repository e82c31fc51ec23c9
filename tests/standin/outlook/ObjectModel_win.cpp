// ObjectModel_win.cpp - Application, NameSpace, Explorer, Selection, items, attachments, folders, events.
//
// Every object below the Application keeps a plain pointer to it: the
// server holds the Application until after COM has let go of every object.
#include "standin/outlook/ObjectModel_win.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/ComObject_win.h"
#include "platform/WinHandles_win.h"
#include "standin/outlook/Registration_win.h"

namespace ostrevin::standin {

namespace {

// OlObjectClass values of the item kinds and of a folder.
constexpr LONG kClassFolder = 2;
constexpr LONG kClassAppointment = 26;
constexpr LONG kClassContact = 40;
constexpr LONG kClassMail = 43;
constexpr LONG kClassMeetingRequest = 53;
// OlAttachmentType: the attachment is a copy of a file.
constexpr LONG kAttachByValue = 1;
// MAPI_E_NOT_FOUND, as Outlook raises it for a folder kind the store lacks.
constexpr HRESULT kMapiNotFound = static_cast<HRESULT>(0x8004010F);
// CONNECT_E_NOCONNECTION and CONNECT_E_CANNOTCONNECT of olectl.h, which
// MinGW's headers lack.
constexpr HRESULT kConnectNoConnection = static_cast<HRESULT>(0x80040200);
constexpr HRESULT kConnectCannotConnect = static_cast<HRESULT>(0x80040202);

void SetText(TVariant& result, const std::wstring& text) { result = TVariant::Text(text); }
void SetInt(TVariant& result, LONG value) { result = TVariant::Int(value); }
void SetObject(TVariant& result, IDispatch* object) { result = TVariant::Object(object); }

LONG IndexArgument(const TArguments& arguments, std::size_t count) {
  const LONG index = arguments.Int(0);
  if (index < 1 || static_cast<std::size_t>(index) > count)
    throw TAutomationError{DISP_E_BADINDEX, L"Array index out of bounds."};
  return index;
}

// How an argument came, for StandInLastLogonArguments: VT_BSTR "text",
// VT_ERROR 0x80020004, VT_BOOL -1, VT_I4 5, VT_EMPTY, or VT_<number>; a
// reference shows as VT_BYREF| before the type of what it refers to.
std::wstring DescribeArgument(const VARIANT& argument) {
  std::wstring prefix;
  VARIANT direct;
  VariantInit(&direct);
  if ((argument.vt & VT_BYREF) != 0) {
    prefix = L"VT_BYREF|";
    if (FAILED(VariantCopyInd(&direct, const_cast<VARIANT*>(&argument)))) return prefix + L"?";
  } else if (FAILED(VariantCopy(&direct, const_cast<VARIANT*>(&argument)))) {
    return L"?";
  }
  std::wstring text;
  wchar_t number[32];
  switch (direct.vt) {
    case VT_EMPTY: text = L"VT_EMPTY"; break;
    case VT_NULL: text = L"VT_NULL"; break;
    case VT_BSTR:
      text = L"VT_BSTR \"" + std::wstring(direct.bstrVal == nullptr ? L"" : direct.bstrVal,
                                          direct.bstrVal == nullptr ? 0 : SysStringLen(direct.bstrVal)) + L"\"";
      break;
    case VT_ERROR:
      std::swprintf(number, 32, L"VT_ERROR 0x%08lX", static_cast<unsigned long>(direct.scode));
      text = number;
      break;
    case VT_BOOL: text = L"VT_BOOL " + std::to_wstring(direct.boolVal); break;
    case VT_I2: text = L"VT_I2 " + std::to_wstring(direct.iVal); break;
    case VT_I4: text = L"VT_I4 " + std::to_wstring(direct.lVal); break;
    default: text = L"VT_" + std::to_wstring(direct.vt); break;
  }
  VariantClear(&direct);
  return prefix + text;
}

void WriteAttachment(const TAttachmentData& data, const std::wstring& path) {
  if (FAILED(data.SaveFailure)) throw TAutomationError{data.SaveFailure, L"Cannot save the attachment."};
  UniqueFileHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  auto fail = [&path]() {
    const DWORD error = GetLastError();
    throw TAutomationError{HRESULT_FROM_WIN32(error), L"Cannot save the attachment to " + path + L"."};
  };
  if (!file) fail();
  auto write = [&](const char* bytes, std::size_t size) {
    while (size > 0) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
      DWORD written = 0;
      if (!WriteFile(file.Get(), bytes, chunk, &written, nullptr)) fail();
      bytes += written;
      size -= written;
    }
  };
  if (!data.UsesPattern) {
    write(data.Bytes.data(), data.Bytes.size());
    return;
  }
  std::string block(1 << 16, '\0');
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>('a' + i % 26);
  // 65536 is no multiple of 26: each block starts where the last one ended.
  std::uint64_t offset = 0;
  while (offset < data.PatternSize) {
    const std::size_t start = static_cast<std::size_t>(offset % 26);
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(block.size() - 26, data.PatternSize - offset));
    write(block.data() + start, size);
    offset += size;
  }
}

// ---- Attachments -----------------------------------------------------------

class TAttachment final : public TDispatchObject {
 public:
  TAttachment(const TAttachmentData& data, LONG index) {
    AddProperty(L"FileName", [&data](const TArguments&, TVariant& r) { SetText(r, data.FileName); });
    AddProperty(L"DisplayName", [&data](const TArguments&, TVariant& r) { SetText(r, data.FileName); });
    AddProperty(L"Size", [&data](const TArguments&, TVariant& r) { SetInt(r, static_cast<LONG>(std::min<std::uint64_t>(data.Size(), 0x7FFFFFFF))); });
    AddProperty(L"Index", [index](const TArguments&, TVariant& r) { SetInt(r, index); });
    AddProperty(L"Type", [](const TArguments&, TVariant& r) { SetInt(r, kAttachByValue); });
    AddMethod(L"SaveAsFile", 1, 1, [&data](const TArguments& a, TVariant&) { WriteAttachment(data, a.Text(0)); });
  }
};

class TAttachments final : public TDispatchObject {
 public:
  explicit TAttachments(const std::vector<TAttachmentData>& attachments) {
    for (std::size_t i = 0; i < attachments.size(); ++i)
      FAttachments.push_back(TComPtr<IDispatch>::Attach(new TAttachment(attachments[i], static_cast<LONG>(i + 1))));
    AddProperty(L"Count", [this](const TArguments&, TVariant& r) { SetInt(r, static_cast<LONG>(FAttachments.size())); });
    AddMethod(L"Item", 1, 1, [this](const TArguments& a, TVariant& r) {
      SetObject(r, FAttachments[static_cast<std::size_t>(IndexArgument(a, FAttachments.size()) - 1)].Get());
    });
  }

 private:
  std::vector<TComPtr<IDispatch>> FAttachments;
};

// ---- Items -------------------------------------------------------------------------

class TItem final : public TDispatchObject {
 public:
  explicit TItem(const TItemData& data) : FData(data), FAttachments(TComPtr<IDispatch>::Attach(new TAttachments(data.Attachments))) {
    AddProperty(L"Subject", [this](const TArguments&, TVariant& r) { SetText(r, FData.Subject); });
    AddProperty(L"Class", [this](const TArguments&, TVariant& r) { SetInt(r, ObjectClass()); });
    AddProperty(L"MessageClass", [this](const TArguments&, TVariant& r) { SetText(r, MessageClass()); });
    AddProperty(L"Attachments", [this](const TArguments&, TVariant& r) { SetObject(r, FAttachments.Get()); });
  }

 protected:
  // Only a mail item is a MailItem.
  void* OtherInterface(REFIID iid) override {
    return FData.Kind == TItemKind::Mail && IsEqualIID(iid, kIidMailItem) ? static_cast<IDispatch*>(this) : nullptr;
  }

 private:
  LONG ObjectClass() const {
    switch (FData.Kind) {
      case TItemKind::Mail: return kClassMail;
      case TItemKind::Appointment: return kClassAppointment;
      case TItemKind::Contact: return kClassContact;
      case TItemKind::MeetingRequest: return kClassMeetingRequest;
    }
    return 0;
  }
  std::wstring MessageClass() const {
    switch (FData.Kind) {
      case TItemKind::Mail: return L"IPM.Note";
      case TItemKind::Appointment: return L"IPM.Appointment";
      case TItemKind::Contact: return L"IPM.Contact";
      case TItemKind::MeetingRequest: return L"IPM.Schedule.Meeting.Request";
    }
    return {};
  }

  const TItemData& FData;
  TComPtr<IDispatch> FAttachments;
};

// ---- Explorer and selection --------------------------------------------------------

class TSelection final : public TDispatchObject {
 public:
  TSelection(TApplication& application, std::vector<std::size_t> items) : FItems(std::move(items)) {
    AddProperty(L"Count", [this](const TArguments&, TVariant& r) { SetInt(r, static_cast<LONG>(FItems.size())); });
    AddMethod(L"Item", 1, 1, [this, &application](const TArguments& a, TVariant& r) {
      const LONG index = IndexArgument(a, FItems.size());
      if (application.Mailbox().SelectionDelay > 0) Sleep(application.Mailbox().SelectionDelay);
      SetObject(r, application.Item(FItems[static_cast<std::size_t>(index - 1)]));
    });
    AddProperty(L"Application", [&application](const TArguments&, TVariant& r) { SetObject(r, &application); });
  }

 private:
  std::vector<std::size_t> FItems;
};

class TExplorer final : public TDispatchObject {
 public:
  explicit TExplorer(TApplication& application) {
    AddProperty(L"Selection", [&application](const TArguments&, TVariant& r) {
      const TComPtr<IDispatch> selection =
          TComPtr<IDispatch>::Attach(new TSelection(application, application.Selection()));
      SetObject(r, selection.Get());
    });
    AddProperty(L"Caption", [](const TArguments&, TVariant& r) { SetText(r, L"Inbox - Stand-in Outlook"); });
    AddProperty(L"Application", [&application](const TArguments&, TVariant& r) { SetObject(r, &application); });
  }
};

// ---- Folders and the namespace -------------------------------------------------------

class TFolder final : public TDispatchObject {
 public:
  TFolder(TApplication& application, int index) {
    const TFolderData& data = application.Mailbox().Folders[static_cast<std::size_t>(index)];
    AddProperty(L"Name", [&data](const TArguments&, TVariant& r) { SetText(r, data.Name); });
    AddProperty(L"Class", [](const TArguments&, TVariant& r) { SetInt(r, kClassFolder); });
    // A top folder's parent is the namespace, which is no folder.
    AddProperty(L"Parent", [&data, &application](const TArguments&, TVariant& r) {
      SetObject(r, data.Parent < 0 ? application.NameSpace() : application.Folder(data.Parent));
    });
    AddProperty(L"FolderPath", [index, &application](const TArguments&, TVariant& r) {
      std::wstring path;
      for (int f = index; f >= 0; f = application.Mailbox().Folders[static_cast<std::size_t>(f)].Parent)
        path = L"\\" + application.Mailbox().Folders[static_cast<std::size_t>(f)].Name + path;
      SetText(r, L"\\" + path);
    });
    AddProperty(L"Application", [&application](const TArguments&, TVariant& r) { SetObject(r, &application); });
  }

 protected:
  void* OtherInterface(REFIID iid) override {
    return IsEqualIID(iid, kIidMapiFolder) ? static_cast<IDispatch*>(this) : nullptr;
  }
};

class TNameSpace final : public TDispatchObject {
 public:
  explicit TNameSpace(TApplication& application) {
    TApplication& app = application;
    AddMethod(L"Logon", 0, 4, [&app](const TArguments& a, TVariant&) {
      ++app.LogonCount;
      app.LastLogonProfile = a.Omitted(0) ? L"" : a.Text(0);
      std::wstring described;
      for (unsigned i = 0; i < a.Count(); ++i) described += (i == 0 ? L"" : L", ") + DescribeArgument(a.Raw(i));
      app.LastLogonArguments = described;
      if (FAILED(app.Mailbox().LogonFailure))
        throw TAutomationError{app.Mailbox().LogonFailure, L"Cannot log on to the profile."};
    });
    AddMethod(L"Logoff", 0, 0, [&app](const TArguments&, TVariant&) { ++app.LogoffCount; });
    AddProperty(L"CurrentProfileName", [&app](const TArguments&, TVariant& r) { SetText(r, app.Mailbox().Profile); });
    AddProperty(L"Type", [](const TArguments&, TVariant& r) { SetText(r, L"MAPI"); });
    AddProperty(L"Application", [&app](const TArguments&, TVariant& r) { SetObject(r, &app); });
    AddProperty(L"Parent", [&app](const TArguments&, TVariant& r) { SetObject(r, &app); });
    AddMethod(L"GetDefaultFolder", 1, 1, [&app](const TArguments& a, TVariant& r) {
      const auto found = app.Mailbox().DefaultFolders.find(a.Int(0));
      if (found == app.Mailbox().DefaultFolders.end())
        throw TAutomationError{kMapiNotFound, L"The folder does not exist in this mailbox."};
      SetObject(r, app.Folder(found->second));
    });
    AddMethod(L"PickFolder", 0, 0, [&app](const TArguments&, TVariant& r) {
      SetObject(r, app.Mailbox().PickedFolder < 0 ? nullptr : app.Folder(app.Mailbox().PickedFolder));
    });
  }
};

}  // namespace

// ---- The event connection point ---------------------------------------------------

class TConnectionPoint final : public ComObject<IConnectionPoint> {
 public:
  explicit TConnectionPoint(TApplication& container) : FContainer(container) {}


  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
    if (iid == nullptr) return E_POINTER;
    *iid = kIidApplicationEvents;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
    if (container == nullptr) return E_POINTER;
    *container = &FContainer;
    FContainer.AddRef();
    return S_OK;
  }
  // The sink is asked for ApplicationEvents first, then for IDispatch.
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    *cookie = 0;
    TComPtr<IDispatch> events;
    if (FAILED(sink->QueryInterface(kIidApplicationEvents, events.ReceiveVoid())) &&
        FAILED(sink->QueryInterface(IID_IDispatch, events.ReceiveVoid())))
      return kConnectCannotConnect;
    *cookie = ++FLastCookie;
    FSinks.emplace(*cookie, std::move(events));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
    return FSinks.erase(cookie) == 1 ? S_OK : kConnectNoConnection;
  }
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override {
    if (connections != nullptr) *connections = nullptr;
    return E_NOTIMPL;
  }

  std::size_t Count() const noexcept { return FSinks.size(); }

  void Fire(DISPID id) {
    // A subscriber may unadvise while it is being called.
    std::vector<TComPtr<IDispatch>> sinks;
    for (const auto& [cookie, sink] : FSinks) sinks.push_back(sink);
    for (const TComPtr<IDispatch>& sink : sinks) {
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
  }
  void Abandon() {
    for (auto& [cookie, sink] : FSinks) static_cast<void>(sink.Detach());
    FSinks.clear();
  }

 private:
  ~TConnectionPoint() override = default;
  bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IConnectionPoint); }

  TApplication& FContainer;
  DWORD FLastCookie = 0;
  std::map<DWORD, TComPtr<IDispatch>> FSinks;
};

// ---- The application ------------------------------------------------------------

TApplication::TApplication(const TMailbox& mailbox, TServerHooks hooks)
    : FMailbox(mailbox), FHooks(std::move(hooks)), FSelection(mailbox.Selection), FEvents(new TConnectionPoint(*this)) {
  FNameSpace = TComPtr<IDispatch>::Attach(new TNameSpace(*this));
  if (!mailbox.NoExplorer) FExplorer = TComPtr<IDispatch>::Attach(new TExplorer(*this));
  for (const TItemData& item : mailbox.Items) FItems.push_back(TComPtr<IDispatch>::Attach(new TItem(item)));
  for (std::size_t f = 0; f < mailbox.Folders.size(); ++f)
    FFolders.push_back(TComPtr<IDispatch>::Attach(new TFolder(*this, static_cast<int>(f))));

  AddProperty(L"Version", [this](const TArguments&, TVariant& r) { SetText(r, FMailbox.Version); });
  AddProperty(L"Name", [](const TArguments&, TVariant& r) { SetText(r, L"Outlook"); });
  AddMethod(L"GetNamespace", 1, 1, [this](const TArguments& a, TVariant& r) {
    if (CompareStringOrdinal(a.Text(0).c_str(), -1, L"MAPI", -1, TRUE) != CSTR_EQUAL)
      throw TAutomationError{E_INVALIDARG, L"The only namespace is \"MAPI\"."};
    SetObject(r, FNameSpace.Get());
  });
  AddProperty(L"Session", [this](const TArguments&, TVariant& r) { SetObject(r, FNameSpace.Get()); });
  AddMethod(L"ActiveExplorer", 0, 0, [this](const TArguments&, TVariant& r) { SetObject(r, FExplorer.Get()); });
  AddMethod(L"Quit", 0, 0, [this](const TArguments&, TVariant&) { FHooks.Quit(); });

  AddMethod(L"StandInSetSelection", 1, 1, [this](const TArguments& a, TVariant&) {
    try {
      FSelection = ParseSelection(a.Text(0), FMailbox.Items.size());
    } catch (const TMailboxError& error) {
      throw TAutomationError{E_INVALIDARG, error.Message()};
    }
    if (FHooks.SelectionChanged) FHooks.SelectionChanged();
  });
  AddProperty(L"StandInSelection", [this](const TArguments&, TVariant& r) { SetText(r, FormatSelection(FSelection)); });
  AddMethod(L"StandInQuit", 0, 0, [this](const TArguments&, TVariant&) { FHooks.Quit(); });
  AddMethod(L"StandInCrash", 0, 0, [this](const TArguments&, TVariant&) { FHooks.Crash(); });
  AddProperty(L"StandInProcessId", [](const TArguments&, TVariant& r) { SetInt(r, static_cast<LONG>(GetCurrentProcessId())); });
  AddProperty(L"StandInLogonCount", [this](const TArguments&, TVariant& r) { SetInt(r, LogonCount); });
  AddProperty(L"StandInLogoffCount", [this](const TArguments&, TVariant& r) { SetInt(r, LogoffCount); });
  AddProperty(L"StandInLastLogonProfile", [this](const TArguments&, TVariant& r) { SetText(r, LastLogonProfile); });
  AddProperty(L"StandInLastLogonArguments", [this](const TArguments&, TVariant& r) { SetText(r, LastLogonArguments); });
  AddProperty(L"StandInAdviseCount", [this](const TArguments&, TVariant& r) { SetInt(r, static_cast<LONG>(FEvents->Count())); });
}

TApplication::~TApplication() { FEvents->Release(); }

void* TApplication::OtherInterface(REFIID iid) {
  if (IsEqualIID(iid, kIidApplication)) return static_cast<IDispatch*>(this);
  if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(this);
  return nullptr;
}

HRESULT STDMETHODCALLTYPE TApplication::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TApplication::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualIID(iid, kIidApplicationEvents)) return kConnectNoConnection;
  *point = FEvents;
  FEvents->AddRef();
  return S_OK;
}

void TApplication::FireQuit() { FEvents->Fire(kDispidQuit); }

void TApplication::AbandonSubscribers() { FEvents->Abandon(); }

IDispatch* TApplication::NameSpace() const noexcept { return FNameSpace.Get(); }

IDispatch* TApplication::Item(std::size_t index) const noexcept {
  return index < FItems.size() ? FItems[index].Get() : nullptr;
}

IDispatch* TApplication::Folder(int index) const noexcept {
  return index >= 0 && static_cast<std::size_t>(index) < FFolders.size() ? FFolders[static_cast<std::size_t>(index)].Get()
                                                                         : nullptr;
}

}  // namespace ostrevin::standin
