// Shell.h - port: the shell's dialogs the program shows.
//
//   TFolderBrowseRequest request;
//   request.Caption = L"Choose a folder ...";
//   request.InitialFolder = GetDesktopFolder();
//   if (std::optional<std::wstring> folder = Current<Shell>().BrowseForFolder(request)) ...
#pragma once

#include <optional>
#include <string>

namespace ostrevin {

struct TFolderBrowseRequest {
  // The text above the tree of folders.
  std::wstring Caption;
  // The folder selected when the dialog opens; empty: none.
  std::wstring InitialFolder;
};

class Shell {
 public:
  static constexpr const wchar_t* kPortName = L"Shell";
  virtual ~Shell() = default;

  // Brings the program to the front and shows the shell's folder browser,
  // modal to the program, over the whole shell namespace: file-system
  // folders only, resizable with a button for a new folder, an edit box for
  // a typed path (a path that is not valid is refused with a message and the
  // dialog stays open), network shares, files listed as well as folders. It
  // opens centred on the monitor of the program's main window. The chosen
  // path, or nothing when the user cancels.
  virtual std::optional<std::wstring> BrowseForFolder(const TFolderBrowseRequest& request) = 0;
};

}  // namespace ostrevin
