// Streams.h - byte streams: the abstract TStream and the in-memory TMemoryStream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ostrevin {

class TStream {
 public:
  virtual ~TStream() = default;
  virtual std::size_t Size() const = 0;
  virtual std::size_t Position() const = 0;
  // A position past the end is allowed; reads there give nothing.
  virtual void SetPosition(std::size_t position) = 0;
  // Reads up to `count` bytes from the position on; returns how many.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes at the position, growing the stream as needed.
  virtual void Write(const void* buffer, std::size_t count) = 0;
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}

  std::size_t Size() const override { return FBytes.size(); }
  std::size_t Position() const override { return FPosition; }
  void SetPosition(std::size_t position) override { FPosition = position; }
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  const std::vector<std::uint8_t>& Bytes() const noexcept { return FBytes; }

 private:
  std::vector<std::uint8_t> FBytes;
  std::size_t FPosition = 0;
};

}  // namespace ostrevin
