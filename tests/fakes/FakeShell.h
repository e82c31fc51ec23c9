// FakeShell.h - the shell's folder browser for native tests.
//
// Answers every request with Answer (nothing: the user cancelled) and
// records the requests; OnBrowse runs first, while the dialog would be open.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Shell.h"

namespace ostrevin {

class FakeShell : public Shell {
 public:
  std::optional<std::wstring> BrowseForFolder(const TFolderBrowseRequest& request) override {
    Requests.push_back(request);
    if (OnBrowse) OnBrowse();
    return Answer;
  }

  std::optional<std::wstring> Answer;
  std::function<void()> OnBrowse;
  std::vector<TFolderBrowseRequest> Requests;
};

}  // namespace ostrevin
