// Mailbox_win.cpp - reading mailbox.txt: lines into tokens, tokens into the mailbox.
//
// A line is decoded from UTF-8 as a whole, then split into tokens: words
// (runs of non-blank characters) and quoted texts with backslash escapes.
// "#" outside a quoted text starts a comment.
#include "standin/outlook/Mailbox_win.h"

#include <cerrno>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace ostrevin::standin {

namespace {

std::string Utf8Of(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

struct TToken {
  std::wstring Text;
  bool Quoted = false;
};

class TLineReader {
 public:
  TLineReader(std::wstring file, int line) : FFile(std::move(file)), FLine(line) {}

  [[noreturn]] void Fail(const std::wstring& reason) const {
    throw TMailboxError(FFile + L":" + std::to_wstring(FLine) + L": " + reason);
  }

  std::vector<TToken> Tokenize(const std::wstring& line) const {
    std::vector<TToken> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
      const wchar_t c = line[i];
      if (c == L' ' || c == L'\t' || c == L'\r') {
        ++i;
      } else if (c == L'#') {
        break;
      } else if (c == L'"') {
        tokens.push_back({QuotedText(line, i), true});
      } else {
        const std::size_t start = i;
        while (i < line.size() && line[i] != L' ' && line[i] != L'\t' && line[i] != L'\r') ++i;
        tokens.push_back({line.substr(start, i - start), false});
      }
    }
    return tokens;
  }

  // A number: decimal, or hexadecimal after "0x"; HRESULTs such as
  // 0x80070005 are taken as their 32-bit pattern.
  std::int64_t Number(const TToken& token, std::int64_t minimum, std::int64_t maximum) const {
    const std::wstring& text = token.Text;
    wchar_t* end = nullptr;
    errno = 0;
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    const std::int64_t value = hex ? static_cast<std::int64_t>(std::wcstoull(text.c_str() + 2, &end, 16))
                                   : std::wcstoll(text.c_str(), &end, 10);
    if (token.Quoted || text.empty() || errno != 0 || end == nullptr || *end != L'\0' || value < minimum ||
        value > maximum)
      Fail(L"\"" + text + L"\" is not a number from " + std::to_wstring(minimum) + L" to " + std::to_wstring(maximum));
    return value;
  }

  HRESULT Failure(const TToken& token) const {
    const auto value = static_cast<std::uint32_t>(Number(token, -0x80000000LL, 0xFFFFFFFFLL));
    if ((value & 0x80000000u) == 0) Fail(L"\"" + token.Text + L"\" is not a failure code (its top bit is clear)");
    return static_cast<HRESULT>(value);
  }

 private:
  std::wstring QuotedText(const std::wstring& line, std::size_t& i) const {
    std::wstring text;
    for (++i; i < line.size(); ++i) {
      const wchar_t c = line[i];
      if (c == L'"') {
        ++i;
        return text;
      }
      if (c != L'\\') {
        text += c;
        continue;
      }
      if (++i >= line.size()) break;
      switch (line[i]) {
        case L'\\': text += L'\\'; break;
        case L'"': text += L'"'; break;
        case L'n': text += L'\n'; break;
        case L'r': text += L'\r'; break;
        case L't': text += L'\t'; break;
        case L'u': {
          // Exactly four hexadecimal digits: one UTF-16 unit, so that even
          // an unpaired surrogate can be written.
          const std::wstring digits = line.substr(i + 1, 4);
          wchar_t* end = nullptr;
          const unsigned long unit = std::wcstoul(digits.c_str(), &end, 16);
          if (digits.size() != 4 || end == nullptr || *end != L'\0') Fail(L"\\u needs four hexadecimal digits");
          text += static_cast<wchar_t>(unit);
          i += 4;
          break;
        }
        default:
          Fail(std::wstring(L"unknown escape \\") + line[i]);
      }
    }
    Fail(L"a quoted text is not closed");
  }

  std::wstring FFile;
  int FLine;
};

std::wstring Utf8Line(const std::string& bytes, const TLineReader& reader) {
  if (bytes.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
  if (size <= 0) reader.Fail(L"the line is not valid UTF-8");
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
  return text;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The folder at the path given innermost first ("Contacts" "Mailbox"),
// made where it is not there yet; folders with the same names along the
// same path are one folder.
int FolderOfPath(TMailbox& mailbox, const std::vector<TToken>& tokens, std::size_t first) {
  int parent = -1;
  for (std::size_t i = tokens.size(); i-- > first;) {
    int found = -1;
    for (std::size_t f = 0; f < mailbox.Folders.size(); ++f)
      if (mailbox.Folders[f].Parent == parent && mailbox.Folders[f].Name == tokens[i].Text) found = static_cast<int>(f);
    if (found < 0) {
      mailbox.Folders.push_back({tokens[i].Text, parent});
      found = static_cast<int>(mailbox.Folders.size() - 1);
    }
    parent = found;
  }
  return parent;
}

struct TPendingSelection {
  std::wstring Text;
  std::wstring Place;
};

}  // namespace

TMailboxError::TMailboxError(const std::wstring& message)
    : std::runtime_error(Utf8Of(message)), FMessage(message) {}

std::vector<std::size_t> ParseSelection(const std::wstring& text, std::size_t itemCount) {
  std::vector<std::size_t> selection;
  std::wstringstream parts(text);
  std::wstring part;
  bool any = false;
  while (std::getline(parts, part, L',')) {
    any = true;
    const std::size_t start = part.find_first_not_of(L' ');
    const std::size_t end = part.find_last_not_of(L' ');
    const std::wstring number = start == std::wstring::npos ? L"" : part.substr(start, end - start + 1);
    wchar_t* stop = nullptr;
    const unsigned long value = number.empty() ? 0 : std::wcstoul(number.c_str(), &stop, 10);
    if (number.empty() || stop == nullptr || *stop != L'\0' || value < 1 || value > itemCount)
      throw TMailboxError(L"\"" + text + L"\" is not a list of item numbers from 1 to " + std::to_wstring(itemCount));
    selection.push_back(value - 1);
  }
  if (!any && text.find_first_not_of(L' ') != std::wstring::npos)
    throw TMailboxError(L"\"" + text + L"\" is not a list of item numbers");
  return selection;
}

std::wstring FormatSelection(const std::vector<std::size_t>& selection) {
  std::wstring text;
  for (const std::size_t index : selection) {
    if (!text.empty()) text += L',';
    text += std::to_wstring(index + 1);
  }
  return text;
}

TMailbox LoadMailbox(const std::wstring& folder) {
  std::wstring base = folder;
  if (!base.empty() && base.back() != L'\\' && base.back() != L'/') base += L'\\';
  const std::wstring fileName = base + L"mailbox.txt";
  const std::optional<std::string> content = ReadFileBytes(fileName);
  if (!content) throw TMailboxError(fileName + L": cannot be read");

  TMailbox mailbox;
  std::optional<TPendingSelection> selection;
  std::istringstream lines(*content);
  std::string bytes;
  int lineNumber = 0;
  while (std::getline(lines, bytes)) {
    ++lineNumber;
    const TLineReader reader(fileName, lineNumber);
    if (lineNumber == 1 && bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    const std::vector<TToken> tokens = reader.Tokenize(Utf8Line(bytes, reader));
    if (tokens.empty()) continue;
    const std::wstring& statement = tokens[0].Text;
    const std::size_t arguments = tokens.size() - 1;
    auto expect = [&](std::size_t minimum, std::size_t maximum) {
      if (arguments < minimum || arguments > maximum)
        reader.Fail(L"\"" + statement + L"\" takes " +
                    (minimum == maximum ? std::to_wstring(minimum)
                                        : std::to_wstring(minimum) + L" to " + std::to_wstring(maximum)) +
                    L" arguments");
    };
    if (tokens[0].Quoted) reader.Fail(L"a line begins with a statement word, not a quoted text");

    if (statement == L"mail" || statement == L"appointment" || statement == L"contact" ||
        statement == L"meeting-request") {
      expect(1, 1);
      TItemData item;
      item.Kind = statement == L"mail"          ? TItemKind::Mail
                  : statement == L"appointment" ? TItemKind::Appointment
                  : statement == L"contact"     ? TItemKind::Contact
                                                : TItemKind::MeetingRequest;
      item.Subject = tokens[1].Text;
      mailbox.Items.push_back(std::move(item));
    } else if (statement == L"attachment") {
      if (mailbox.Items.empty()) reader.Fail(L"an attachment needs an item line before it");
      if (arguments != 3 && arguments != 5) reader.Fail(L"attachment NAME (file PATH | text TEXT | size N) [save-fails CODE]");
      TAttachmentData attachment;
      attachment.FileName = tokens[1].Text;
      const std::wstring& source = tokens[2].Text;
      if (source == L"file") {
        std::wstring path = base + tokens[3].Text;
        for (wchar_t& c : path)
          if (c == L'/') c = L'\\';
        const std::optional<std::string> bytesOfFile = ReadFileBytes(path);
        if (!bytesOfFile) reader.Fail(L"the content file \"" + path + L"\" cannot be read");
        attachment.Bytes = *bytesOfFile;
      } else if (source == L"text") {
        attachment.Bytes = Utf8Of(tokens[3].Text);
      } else if (source == L"size") {
        attachment.UsesPattern = true;
        attachment.PatternSize = static_cast<std::uint64_t>(reader.Number(tokens[3], 0, 0x7FFFFFFFFFFFLL));
      } else {
        reader.Fail(L"the content of an attachment is \"file\", \"text\" or \"size\", not \"" + source + L"\"");
      }
      if (arguments == 5) {
        if (tokens[4].Text != L"save-fails") reader.Fail(L"expected \"save-fails\", not \"" + tokens[4].Text + L"\"");
        attachment.SaveFailure = reader.Failure(tokens[5]);
      }
      mailbox.Items.back().Attachments.push_back(std::move(attachment));
    } else if (statement == L"folder") {
      if (arguments < 2) reader.Fail(L"folder KIND NAME [PARENT...]");
      LONG kind = 0;
      if (tokens[1].Text == L"contacts") {
        kind = kFolderContacts;
      } else if (tokens[1].Text == L"tasks") {
        kind = kFolderTasks;
      } else if (tokens[1].Text == L"calendar") {
        kind = kFolderCalendar;
      } else {
        kind = static_cast<LONG>(reader.Number(tokens[1], 0, 0x7FFFFFFF));
      }
      mailbox.DefaultFolders[kind] = FolderOfPath(mailbox, tokens, 2);
    } else if (statement == L"pick-folder") {
      if (arguments < 1) reader.Fail(L"pick-folder NAME [PARENT...]");
      mailbox.PickedFolder = FolderOfPath(mailbox, tokens, 1);
    } else if (statement == L"selection") {
      expect(0, 1);
      selection = TPendingSelection{arguments == 0 ? L"" : tokens[1].Text,
                                    fileName + L":" + std::to_wstring(lineNumber) + L": "};
    } else if (statement == L"selection-delay") {
      expect(1, 1);
      mailbox.SelectionDelay = static_cast<DWORD>(reader.Number(tokens[1], 0, 600000));
    } else if (statement == L"logon-fails") {
      expect(1, 1);
      mailbox.LogonFailure = reader.Failure(tokens[1]);
    } else if (statement == L"no-explorer") {
      expect(0, 0);
      mailbox.NoExplorer = true;
    } else if (statement == L"window") {
      expect(1, 1);
      if (tokens[1].Text != L"hidden" && tokens[1].Text != L"shown") reader.Fail(L"window hidden | shown");
      mailbox.WindowHidden = tokens[1].Text == L"hidden";
    } else if (statement == L"version") {
      expect(1, 1);
      mailbox.Version = tokens[1].Text;
    } else if (statement == L"profile") {
      expect(1, 1);
      mailbox.Profile = tokens[1].Text;
    } else {
      reader.Fail(L"unknown statement \"" + statement + L"\"");
    }
  }

  // Items may come after the selection line, so it is checked at the end.
  if (selection) {
    try {
      mailbox.Selection = ParseSelection(selection->Text, mailbox.Items.size());
    } catch (const TMailboxError& error) {
      throw TMailboxError(selection->Place + error.Message());
    }
  }
  return mailbox;
}

}  // namespace ostrevin::standin
