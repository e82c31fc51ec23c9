// Streams.cpp - the in-memory TMemoryStream.
#include "foundation/Streams.h"

#include <algorithm>
#include <cstring>

namespace ostrevin {

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
  if (FPosition >= FBytes.size()) return 0;
  const std::size_t n = std::min(count, FBytes.size() - FPosition);
  std::memcpy(buffer, FBytes.data() + FPosition, n);
  FPosition += n;
  return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count) {
  if (count == 0) return;
  if (FPosition + count > FBytes.size()) FBytes.resize(FPosition + count);
  std::memcpy(FBytes.data() + FPosition, buffer, count);
  FPosition += count;
}

}  // namespace ostrevin
