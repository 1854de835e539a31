// String lists: the abstract TStrings (also the item list of list controls)
// and the stored TStringList.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Persistent.h"

class TStream;

class TStrings : public TPersistent {
public:
  TStrings() = default;
  TStrings(const TStrings&) = delete;
  TStrings& operator=(const TStrings&) = delete;
  virtual ~TStrings() = default;

  // Storage primitives of a concrete list.
  virtual int Count() const = 0;
  virtual std::wstring Get(int index) const = 0;
  virtual void Put(int index, const std::wstring& s);
  virtual void* GetObjectAt(int index) const;
  virtual void PutObjectAt(int index, void* object);
  virtual void InsertObject(int index, const std::wstring& s, void* object) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual int IndexOf(const std::wstring& s) const; // case-insensitive

  void Insert(int index, const std::wstring& s) { InsertObject(index, s, nullptr); }
  virtual int Add(const std::wstring& s) { return AddObject(s, nullptr); }
  virtual int AddObject(const std::wstring& s, void* object);
  void AddStrings(const TStrings& source);
  // Clears, then adds every string and object of the source.
  virtual void Assign(const TStrings& source);
  // A string list source as above; other sources as any persistent object.
  void Assign(TPersistent* Source) override;
  void Move(int curIndex, int newIndex);
  void Exchange(int a, int b);

  std::wstring Strings(int index) const { return Get(index); }
  void SetStrings(int index, const std::wstring& s) { Put(index, s); }
  std::wstring operator[](int index) const { return Get(index); }
  void* Objects(int index) const { return GetObjectAt(index); }
  void SetObjects(int index, void* object) { PutObjectAt(index, object); }
  int IndexOfObject(const void* object) const;

  // Lines joined with CRLF (each line ends with one).
  std::wstring Text() const;
  // Splits at CR, LF or CRLF.
  void SetText(const std::wstring& text);
  // Comma-separated, items with blanks, commas or quotes double-quoted.
  std::wstring CommaText() const;
  void SetCommaText(const std::wstring& text);

  // "name=value" lines; names are matched without regard to case.
  std::wstring Names(int index) const;
  std::wstring ValueFromIndex(int index) const;
  std::wstring Values(const std::wstring& name) const;
  // An empty value removes the line.
  void SetValues(const std::wstring& name, const std::wstring& value);
  int IndexOfName(const std::wstring& name) const;

  // Unicode text files; reading also accepts UTF-8 and ANSI. Saving writes
  // the lines with CRLF in the ANSI code page unless a line needs Unicode,
  // then as UTF-8 with a byte-order mark. Raise EFOpenError/EFCreateError.
  void LoadFromFile(const std::wstring& fileName);
  void SaveToFile(const std::wstring& fileName) const;
  // The rest of the stream as text, decoded as LoadFromFile does.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  bool Equals(const TStrings& other) const;

protected:
  // Called when BeginUpdate/EndUpdate start or end a batch.
  virtual void SetUpdateState(bool updating) { (void)updating; }
  // A string list destination takes these strings.
  void AssignTo(TPersistent* Dest) override;

private:
  int FUpdateCount = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
public:
  TStringList() = default;
  ~TStringList() override = default;

  int Count() const override { return static_cast<int>(FItems.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& s) override;
  void* GetObjectAt(int index) const override;
  void PutObjectAt(int index, void* object) override;
  void InsertObject(int index, const std::wstring& s, void* object) override;
  int AddObject(const std::wstring& s, void* object) override;
  void Delete(int index) override;
  void Clear() override;
  int IndexOf(const std::wstring& s) const override;

  // Binary search of a sorted list; index is where s is or would go.
  bool Find(const std::wstring& s, int& index) const;
  void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }

  std::function<void(TStringList* sender)> OnChanging;
  std::function<void(TStringList* sender)> OnChange;

protected:
  void SetUpdateState(bool updating) override;
  virtual void Changing();
  virtual void Changed();

private:
  struct TItem {
    std::wstring s;
    void* object;
  };
  int CompareStrings(const std::wstring& a, const std::wstring& b) const;
  void CheckIndex(int index, bool forInsert = false) const;

  std::vector<TItem> FItems;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
};
