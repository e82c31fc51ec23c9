// DragData_win.h - a data object offering fixed bytes in clipboard formats, for test programs that drag.
//
//   ComPtr<TDragData> data = ComPtr<TDragData>::Take(new TDragData);
//   data->Add(L"RenPrivateSourceFolder", bytes);      // a registered format
//   data->Add(CF_UNICODETEXT, text);                  // a predefined one
//   DoDragDrop(data.Get(), source, DROPEFFECT_COPY, &effect);
//
// Every format is rendered as an HGLOBAL copy of its bytes; the formats are
// enumerated in the order they were added.
#pragma once

#include <cstring>
#include <vector>

#include "platform/ComObject_win.h"
#include "platform/WinApi_win.h"

#include <shlobj.h>

namespace ostrevin {

class TDragData final : public ComObject<IDataObject> {
 public:
  void Add(CLIPFORMAT format, std::vector<unsigned char> data) {
    FFormats.push_back({format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    FData.push_back(std::move(data));
  }
  void Add(const wchar_t* formatName, std::vector<unsigned char> data) {
    Add(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(formatName)), std::move(data));
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
    if (wanted == nullptr || medium == nullptr) return E_INVALIDARG;
    const int index = IndexOf(*wanted);
    if (index < 0) return DV_E_FORMATETC;
    const std::vector<unsigned char>& data = FData[static_cast<std::size_t>(index)];
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, data.size());
    if (global == nullptr) return E_OUTOFMEMORY;
    std::memcpy(GlobalLock(global), data.data(), data.size());
    GlobalUnlock(global);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = global;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
    return wanted != nullptr && IndexOf(*wanted) >= 0 ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
    if (formats == nullptr) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(FFormats.size()), FFormats.data(), formats);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  ~TDragData() override = default;
  bool Answers(REFIID iid) const override { return IsEqualIID(iid, IID_IDataObject); }

  int IndexOf(const FORMATETC& wanted) const {
    for (std::size_t i = 0; i < FFormats.size(); ++i)
      if (FFormats[i].cfFormat == wanted.cfFormat && (wanted.tymed & TYMED_HGLOBAL) != 0) return static_cast<int>(i);
    return -1;
  }

  std::vector<FORMATETC> FFormats;
  std::vector<std::vector<unsigned char>> FData;
};

}  // namespace ostrevin
