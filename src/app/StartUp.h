// StartUp.h - runs the modules' start-up in a fixed order and their shutdown in reverse.
//
// Process-wide module state has explicit Initialize and Finalize functions;
// the program lists them in one table, in dependency order:
//
//   const TModuleRow rows[] = {{L"VemLXCRC32", InitializeVemLXCRC32, nullptr}, ...};
//   TModuleStartUp modules(rows);   // every Initialize, in order
//   ...                             // the destructor finalises in reverse
#pragma once

#include <span>
#include <string_view>

namespace ostrevin {

struct TModuleRow {
  std::wstring_view Name;
  void (*Initialize)();  // null: nothing to do
  void (*Finalize)();    // null: nothing to do
};

class TModuleStartUp {
 public:
  // Initialises every row once, in order. When an initialisation raises, the
  // rows before it are finalised in reverse and the exception propagates.
  explicit TModuleStartUp(std::span<const TModuleRow> rows);
  // Finalises the rows in reverse order. A Finalize that raises is reported
  // through ShowCurrentException and the others still run.
  ~TModuleStartUp();
  TModuleStartUp(const TModuleStartUp&) = delete;
  TModuleStartUp& operator=(const TModuleStartUp&) = delete;

 private:
  void FinalizeFirst(std::size_t count) noexcept;

  std::span<const TModuleRow> FRows;
};

}  // namespace ostrevin
