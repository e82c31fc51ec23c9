// StandinState_win.cpp - the stand-in MAPI provider's configuration, record file and memory.
#include "standin/mapi/StandinState_win.h"

#include <atomic>
#include <cstdlib>
#include <cwctype>
#include <iterator>
#include <mutex>

#include "foundation/TextEncoding.h"

namespace ostrevin::standin {

namespace {

std::mutex& FileLock() {
  static std::mutex lock;
  return lock;
}

std::wstring ConfigFileName() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(kConfigVariable, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length > 0 && length < std::size(buffer)) return std::wstring(buffer, length);
  return RegisteredConfigFile();
}

std::string ReadWholeFile(const std::wstring& fileName) {
  std::string bytes;
  const HANDLE file = CreateFileW(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

std::wstring Trimmed(std::wstring_view text) {
  while (!text.empty() && std::iswspace(text.front())) text.remove_prefix(1);
  while (!text.empty() && std::iswspace(text.back())) text.remove_suffix(1);
  return std::wstring(text);
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

std::uint32_t Number(const std::wstring& text) {
  return static_cast<std::uint32_t>(std::wcstoul(text.c_str(), nullptr, 0));
}

// The value as UTF-8, with "%" and the characters below U+0020 as %XX.
std::string Escaped(std::wstring_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : WideToUtf8(value)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == '%') {
      text += '%';
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    } else {
      text += c;
    }
  }
  return text;
}

// Every buffer starts with this header; buffers from AllocateMore hang on
// their parent's list.
struct alignas(16) TBufferHeader {
  static constexpr std::uint32_t kRoot = 0x5354414D;   // "MATS"
  static constexpr std::uint32_t kMore = 0x4D524F4D;   // "MORM"
  std::uint32_t Magic;
  TBufferHeader* NextMore;
};

long& LiveBufferCount() {
  static long count = 0;
  return count;
}

std::mutex& BufferLock() {
  static std::mutex lock;
  return lock;
}

void* NewBuffer(ULONG size, std::uint32_t magic, TBufferHeader** header) {
  auto* block = static_cast<TBufferHeader*>(std::calloc(1, sizeof(TBufferHeader) + size));
  if (block == nullptr) return nullptr;
  block->Magic = magic;
  block->NextMore = nullptr;
  *header = block;
  return block + 1;
}

std::atomic<long>& LiveObjectCount() {
  static std::atomic<long> count{0};
  return count;
}

}  // namespace

TConfig ReadConfig() {
  TConfig config;
  const std::wstring fileName = ConfigFileName();
  if (fileName.empty()) return config;
  std::string bytes = ReadWholeFile(fileName);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
  const std::wstring text = Utf8ToWide(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = Trimmed(std::wstring_view(text).substr(start, end - start));
    start = end + 1;
    const std::size_t equals = line.find(L'=');
    if (line.empty() || line.front() == L'#' || equals == std::wstring::npos) continue;
    const std::wstring key = Trimmed(std::wstring_view(line).substr(0, equals));
    const std::wstring value = Trimmed(std::wstring_view(line).substr(equals + 1));
    if (SameName(key, L"Profile")) config.Profiles.push_back({value, false});
    else if (SameName(key, L"DefaultProfile")) config.Profiles.push_back({value, true});
    else if (SameName(key, L"InitializeResult")) config.InitializeResult = static_cast<HRESULT>(Number(value));
    else if (SameName(key, L"LogonResult")) config.LogonResult = static_cast<HRESULT>(Number(value));
    else if (SameName(key, L"AdminProfilesResult")) config.AdminProfilesResult = static_cast<HRESULT>(Number(value));
    else if (SameName(key, L"SendMailResult")) config.SendMailResult = Number(value);
    else if (SameName(key, L"RecordFile")) config.RecordFile = value;
    else if (SameName(key, L"KeepAttachmentsIn")) config.KeepAttachmentsIn = value;
  }
  return config;
}

TRecord::TRecord(std::wstring_view name) : FText("[" + Escaped(name) + "]\r\n") {}

TRecord& TRecord::Add(std::wstring_view key, std::wstring_view value) {
  FText += Escaped(key) + "=" + Escaped(value) + "\r\n";
  return *this;
}

TRecord& TRecord::AddHex(std::wstring_view key, std::uint32_t value) {
  wchar_t text[16];
  swprintf(text, std::size(text), L"0x%08X", value);
  return Add(key, text);
}

TRecord& TRecord::AddInt(std::wstring_view key, std::int64_t value) { return Add(key, std::to_wstring(value)); }

void TRecord::Write(const TConfig& config) const {
  if (config.RecordFile.empty()) return;
  const std::lock_guard<std::mutex> guard(FileLock());
  const HANDLE file = CreateFileW(config.RecordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string block = FText + "\r\n";
  DWORD written = 0;
  WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
  CloseHandle(file);
}

std::wstring FromAnsi(const char* text) {
  if (text == nullptr || *text == '\0') return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(wcslen(wide.c_str()));
  return wide;
}

HRESULT AllocateBuffer(ULONG size, void** buffer) {
  if (buffer == nullptr) return E_INVALIDARG;
  TBufferHeader* header = nullptr;
  *buffer = NewBuffer(size, TBufferHeader::kRoot, &header);
  if (*buffer == nullptr) return E_OUTOFMEMORY;
  const std::lock_guard<std::mutex> guard(BufferLock());
  ++LiveBufferCount();
  return S_OK;
}

HRESULT AllocateMore(ULONG size, void* parent, void** buffer) {
  if (buffer == nullptr || parent == nullptr) return E_INVALIDARG;
  auto* root = static_cast<TBufferHeader*>(parent) - 1;
  if (root->Magic != TBufferHeader::kRoot) return E_INVALIDARG;
  TBufferHeader* header = nullptr;
  *buffer = NewBuffer(size, TBufferHeader::kMore, &header);
  if (*buffer == nullptr) return E_OUTOFMEMORY;
  const std::lock_guard<std::mutex> guard(BufferLock());
  header->NextMore = root->NextMore;
  root->NextMore = header;
  return S_OK;
}

ULONG FreeBuffer(void* buffer) {
  if (buffer == nullptr) return S_OK;
  auto* root = static_cast<TBufferHeader*>(buffer) - 1;
  // Only buffers from AllocateBuffer are freed; anything else is left alone.
  if (root->Magic != TBufferHeader::kRoot) return static_cast<ULONG>(E_INVALIDARG);
  const std::lock_guard<std::mutex> guard(BufferLock());
  for (TBufferHeader* more = root->NextMore; more != nullptr;) {
    TBufferHeader* next = more->NextMore;
    std::free(more);
    more = next;
  }
  root->Magic = 0;
  std::free(root);
  --LiveBufferCount();
  return S_OK;
}

long LiveBuffers() {
  const std::lock_guard<std::mutex> guard(BufferLock());
  return LiveBufferCount();
}

long AddLiveObject() { return ++LiveObjectCount(); }
long RemoveLiveObject() { return --LiveObjectCount(); }
long LiveObjects() { return LiveObjectCount(); }

long& InitializeCount() {
  static long count = 0;
  return count;
}

}  // namespace ostrevin::standin
