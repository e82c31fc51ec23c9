// OnMsgStringList.h - TOnMsgStringList, a string list that collects lines.
//
// Code that reports text line by line (process output) takes a
// TOnMsgEvent; a TOnMsgStringList hands out one bound to itself:
//
//   TOnMsgStringList output;
//   RunProcess(commandLine, folder, showCmd, token, output.OnMsgCallback());
//   std::wstring text = output.Text();
#pragma once

#include <functional>
#include <string>

#include "foundation/VemClasses.h"

namespace ostrevin {

// A line callback: a method bound to its object. An empty one means "absent".
using TOnMsgEvent = std::function<void(const std::wstring& line)>;

class TOnMsgStringList : public TVemStringList {
 public:
  using TVemStringList::TVemStringList;

  // Adds the line, as Add does (a sorted list keeps its order and rules).
  void OnMsg(const std::wstring& line) { Add(line); }

  // OnMsg bound to this list object. The list must outlive the callback; a
  // copy of the list is not bound to it.
  TOnMsgEvent OnMsgCallback() {
    return [this](const std::wstring& line) { OnMsg(line); };
  }
};

}  // namespace ostrevin
