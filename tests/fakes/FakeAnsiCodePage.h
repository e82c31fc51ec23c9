// FakeAnsiCodePage.h - Windows-1252 as the ANSI code page of native tests.
#pragma once

#include "platform/AnsiCodePage.h"

namespace ostrevin {

class FakeAnsiCodePage : public AnsiCodePage {
 public:
  std::string FromWide(std::wstring_view text) const override;
  std::wstring ToWide(std::string_view bytes) const override;
};

}  // namespace ostrevin
