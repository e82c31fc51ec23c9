// VemClasses.h - TVemStringList, the system's string list.
//
// An ordered list of strings, each with an optional object pointer that the
// list does not own; sorted or not, with one compare rule (TextCompare.h,
// ignoring case unless CaseSensitive), name=value access, Text and CommaText,
// and files read by their byte-order mark and written as UTF-16 LE with FF FE
// unless another encoding was loaded or is given.
//
//   TVemStringList list{L"Name=1", L"Other=2"};
//   list.Values(L"name");                 // "1"
//   list.SetCommaText(L".doc, .pdf");     // two items: ".doc" and ".pdf"
//   list.SaveToFile(L"C:\\out.txt");      // FF FE, then UTF-16 LE with CR LF
//   for (const std::wstring& s : list) ...
//
// Misuse raises EStringListError: "List index out of bounds (%d)",
// "Operation not allowed on sorted list", "String list does not allow
// duplicates". File errors are the FileSystem port's (EFOpenError,
// EFCreateError).
#pragma once

#include <compare>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/TextEncoding.h"

namespace ostrevin {

// What Add does on a sorted list with a string that is already there.
enum class TDuplicates {
  Ignore,  // adds nothing and returns the index of the existing string
  Accept,  // adds it before the equal ones
  Error,   // raises "String list does not allow duplicates"
};

class TVemStringList {
  struct TItem {
    std::wstring String;
    void* Object = nullptr;
  };

 public:
  // Called with the list as sender: OnChanging before a change, OnChange
  // after it; both are held back while the update count is above 0, and
  // BeginUpdate from 0 / EndUpdate to 0 call them once for the bracket.
  using TNotifyEvent = std::function<void(TVemStringList& sender)>;

  // Yields the strings in index order. Changing the list invalidates it.
  class const_iterator {
   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = std::wstring;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::wstring*;
    using reference = const std::wstring&;

    const_iterator() = default;
    reference operator*() const { return FIt->String; }
    pointer operator->() const { return &FIt->String; }
    reference operator[](difference_type n) const { return FIt[n].String; }
    const_iterator& operator++() { ++FIt; return *this; }
    const_iterator operator++(int) { auto old = *this; ++FIt; return old; }
    const_iterator& operator--() { --FIt; return *this; }
    const_iterator operator--(int) { auto old = *this; --FIt; return old; }
    const_iterator& operator+=(difference_type n) { FIt += n; return *this; }
    const_iterator& operator-=(difference_type n) { FIt -= n; return *this; }
    friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
    friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
    friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) { return a.FIt - b.FIt; }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.FIt == b.FIt; }
    friend auto operator<=>(const const_iterator& a, const const_iterator& b) { return a.FIt <=> b.FIt; }

   private:
    friend class TVemStringList;
    explicit const_iterator(std::vector<TItem>::const_iterator it) : FIt(it) {}
    std::vector<TItem>::const_iterator FIt;
  };
  using iterator = const_iterator;

  // An empty list with the defaults: unsorted, Duplicates Ignore, case
  // insensitive, LineBreak CR LF, NameValueSeparator '=', Delimiter ',',
  // QuoteChar '"', StrictDelimiter false, encoding None, update count 0.
  TVemStringList() = default;
  // An empty list, then every value added in order (no notification handler
  // can be set yet, so none is called).
  TVemStringList(std::initializer_list<std::wstring> values);
  explicit TVemStringList(const std::vector<std::wstring>& values);

  // Copies and moves carry the items and every property (encoding included)
  // but not the notification handlers nor the update count, which stay with
  // the object they were given to. Assigning does not notify.
  TVemStringList(const TVemStringList&) = default;
  TVemStringList(TVemStringList&&) = default;
  TVemStringList& operator=(const TVemStringList&) = default;
  TVemStringList& operator=(TVemStringList&&) = default;
  virtual ~TVemStringList() = default;

  // --- Items ---------------------------------------------------------------
  int Count() const noexcept { return static_cast<int>(FItems.size()); }
  // Raise "List index out of bounds (%d)" outside 0..Count-1.
  const std::wstring& Strings(int index) const;
  const std::wstring& operator[](int index) const { return Strings(index); }
  // Also raises "Operation not allowed on sorted list" on a sorted list
  // (checked first), as the platform's list does.
  void SetStrings(int index, std::wstring value);
  void* Objects(int index) const;
  void SetObjects(int index, void* object);

  // Appends (unsorted) or inserts at the sorted position (sorted, where the
  // Duplicates rule applies); returns the index of the item, or of the equal
  // string already there when it was ignored.
  int Add(std::wstring value);
  int AddObject(std::wstring value, void* object);
  // Adds every item of `other` with its object, one by one as Add does.
  void AddStrings(const TVemStringList& other);
  // Index 0..Count. Raises "Operation not allowed on sorted list" on a sorted
  // list (checked first), else "List index out of bounds (%d)".
  void Insert(int index, std::wstring value);
  void InsertObject(int index, std::wstring value, void* object);
  void Delete(int index);
  // Notifies only when there was something to remove.
  void Clear();

  // The first item equal to `value` under the compare rule, or -1; a binary
  // search on a sorted list.
  int IndexOf(std::wstring_view value) const;
  // The first item holding `object`, or -1.
  int IndexOfObject(const void* object) const;
  // Binary search, meaningful on a sorted list: whether `value` is present;
  // `index` is the first of the equal items, or where it would be inserted.
  bool Find(std::wstring_view value, int& index) const;
  // Sorts by the compare rule (stable). Does nothing on a sorted list, which
  // is in order already.
  void Sort();
  // The compare rule: CompareByCase(a, b, CaseSensitive()).
  int CompareStrings(std::wstring_view a, std::wstring_view b) const noexcept;

  // --- Names and values ----------------------------------------------------
  // The text before the first NameValueSeparator; "" when there is none.
  std::wstring Names(int index) const;
  // The text after the first NameValueSeparator; "" when there is none.
  std::wstring ValueFromIndex(int index) const;
  // The value of the item IndexOfName(name) finds, or "".
  std::wstring Values(std::wstring_view name) const;
  // An empty value deletes the item (if any). Otherwise an existing item
  // becomes name + separator + value in place (a sorted list deletes it and
  // adds the new text at its sorted position), and a missing name is added.
  void SetValues(std::wstring_view name, std::wstring_view value);
  // Unsorted: the first item having a separator whose name equals `name`
  // under the compare rule. Sorted: Find(name + separator) and a prefix
  // comparison of that one item. -1 when not found.
  int IndexOfName(std::wstring_view name) const;

  // --- Text ----------------------------------------------------------------
  // Every item followed by LineBreak; "" for an empty list.
  std::wstring Text() const;
  // Clears and refills the list in one update bracket. With LineBreak CR LF,
  // CR LF, a lone CR and a lone LF each end a line; otherwise only the exact
  // LineBreak does (an empty LineBreak gives one item of the whole text). A
  // final break gives no empty last item. NUL characters are kept as text.
  void SetText(std::wstring_view text);
  // Items joined with Delimiter; items holding QuoteChar, Delimiter or (not
  // StrictDelimiter) a character 1..32 are quoted with doubled inner quotes.
  // A single empty item gives two quote characters.
  std::wstring CommaText() const;
  // Clears and refills the list in one update bracket. Items are separated by
  // Delimiter; a quoted item runs to its closing quote (a doubled quote inside
  // stands for one); without StrictDelimiter, blanks and control characters
  // also separate items and are skipped around them. A Delimiter at the very
  // end adds one empty item. Like the platform's list, the text ends at its
  // first NUL.
  void SetCommaText(std::wstring_view text);

  // --- Whole list ----------------------------------------------------------
  void BeginUpdate();
  // Raises EVemInternalError when not inside BeginUpdate.
  void EndUpdate();
  int UpdateCount() const noexcept { return FObservers.UpdateCount; }

  // Clears, copies other's encoding, NameValueSeparator, QuoteChar,
  // Delimiter, LineBreak and StrictDelimiter, its items (strings and objects,
  // in other's order) and then CaseSensitive, Duplicates and Sorted without
  // re-sorting; in one update bracket. Assigning a list to itself does nothing.
  void Assign(const TVemStringList& other);
  // Same count and the same strings in the same order, compared exactly;
  // objects and properties are not compared.
  bool Equals(const TVemStringList& other) const;

  // Reads the whole file (FileSystem port), takes the encoding from its
  // byte-order mark or else the ANSI code page, remembers it and sets Text.
  // The list is unchanged when the file cannot be read.
  void LoadFromFile(std::wstring_view fileName);
  // Writes Text in the remembered encoding, or as UTF-16 LE when there is
  // none, with the encoding's byte-order mark (ANSI has none).
  void SaveToFile(std::wstring_view fileName) const;
  // Writes Text in `encoding` with its byte-order mark; the remembered
  // encoding is not changed. None saves as SaveToFile(fileName) does.
  void SaveToFile(std::wstring_view fileName, TextEncoding encoding) const;

  const_iterator begin() const noexcept { return const_iterator(FItems.begin()); }
  const_iterator end() const noexcept { return const_iterator(FItems.end()); }

  // --- Properties (setting them does not notify) ---------------------------
  bool Sorted() const noexcept { return FSorted; }
  // Setting true sorts the list.
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const noexcept { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) noexcept { FDuplicates = duplicates; }
  bool CaseSensitive() const noexcept { return FCaseSensitive; }
  // A sorted list is sorted again by the new rule.
  void SetCaseSensitive(bool caseSensitive);
  const std::wstring& LineBreak() const noexcept { return FLineBreak; }
  void SetLineBreak(std::wstring lineBreak) { FLineBreak = std::move(lineBreak); }
  wchar_t NameValueSeparator() const noexcept { return FNameValueSeparator; }
  void SetNameValueSeparator(wchar_t separator) noexcept { FNameValueSeparator = separator; }
  wchar_t Delimiter() const noexcept { return FDelimiter; }
  void SetDelimiter(wchar_t delimiter) noexcept { FDelimiter = delimiter; }
  wchar_t QuoteChar() const noexcept { return FQuoteChar; }
  void SetQuoteChar(wchar_t quoteChar) noexcept { FQuoteChar = quoteChar; }
  bool StrictDelimiter() const noexcept { return FStrictDelimiter; }
  void SetStrictDelimiter(bool strict) noexcept { FStrictDelimiter = strict; }
  // The encoding remembered from the last LoadFromFile, or set here.
  TextEncoding Encoding() const noexcept { return FEncoding; }
  void SetEncoding(TextEncoding encoding) noexcept { FEncoding = encoding; }

  const TNotifyEvent& OnChange() const noexcept { return FObservers.OnChange; }
  void SetOnChange(TNotifyEvent handler) { FObservers.OnChange = std::move(handler); }
  const TNotifyEvent& OnChanging() const noexcept { return FObservers.OnChanging; }
  void SetOnChanging(TNotifyEvent handler) { FObservers.OnChanging = std::move(handler); }

 private:
  // The handlers and the update count: kept by the object, not by copies.
  struct TObservers {
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;
    int UpdateCount = 0;
    TObservers() = default;
    TObservers(const TObservers&) noexcept {}
    TObservers(TObservers&&) noexcept {}
    TObservers& operator=(const TObservers&) noexcept { return *this; }
    TObservers& operator=(TObservers&&) noexcept { return *this; }
  };

  void CheckIndex(int index) const;
  void Changing();
  void Changed();
  void InsertItem(int index, std::wstring value, void* object);
  void SortItems();
  template <class Body>
  void Updating(Body&& body);

  std::vector<TItem> FItems;
  bool FSorted = false;
  TDuplicates FDuplicates = TDuplicates::Ignore;
  bool FCaseSensitive = false;
  std::wstring FLineBreak = L"\r\n";
  wchar_t FNameValueSeparator = L'=';
  wchar_t FDelimiter = L',';
  wchar_t FQuoteChar = L'"';
  bool FStrictDelimiter = false;
  TextEncoding FEncoding = TextEncoding::None;
  TObservers FObservers;
};

}  // namespace ostrevin
