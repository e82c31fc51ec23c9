// AnsiCodePage.h - port: the system's ANSI code page.
#pragma once

#include <string>
#include <string_view>

namespace ostrevin {

class AnsiCodePage {
 public:
  static constexpr const wchar_t* kPortName = L"AnsiCodePage";
  virtual ~AnsiCodePage() = default;
  // Characters the code page lacks become its default character ("?").
  virtual std::string FromWide(std::wstring_view text) const = 0;
  virtual std::wstring ToWide(std::string_view bytes) const = 0;
};

}  // namespace ostrevin
