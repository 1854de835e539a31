// INI settings: TIniFile over the system's profile functions and the
// in-memory TMemIniFile.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

class TStrings;

class TCustomIniFile {
public:
  explicit TCustomIniFile(std::wstring fileName) : FFileName(std::move(fileName)) {}
  TCustomIniFile(const TCustomIniFile&) = delete;
  TCustomIniFile& operator=(const TCustomIniFile&) = delete;
  virtual ~TCustomIniFile() = default;

  const std::wstring& FileName() const { return FFileName; }

  virtual std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                                  const std::wstring& def) = 0;
  virtual void WriteString(const std::wstring& section, const std::wstring& ident,
                           const std::wstring& value) = 0;
  // Section keys in file order.
  virtual void ReadSection(const std::wstring& section, TStrings& strings) = 0;
  virtual void ReadSections(TStrings& strings) = 0;
  virtual void EraseSection(const std::wstring& section) = 0;
  virtual void DeleteKey(const std::wstring& section, const std::wstring& ident) = 0;
  virtual void UpdateFile() = 0;

  // Decimal, or hexadecimal after "0x" or "$"; anything else reads as def.
  int ReadInteger(const std::wstring& section, const std::wstring& ident, int def);
  void WriteInteger(const std::wstring& section, const std::wstring& ident, int value);
  // Read as an integer, true when not 0; written as "1" or "0".
  bool ReadBool(const std::wstring& section, const std::wstring& ident, bool def);
  void WriteBool(const std::wstring& section, const std::wstring& ident, bool value);
  // "name=value" lines of a section.
  void ReadSectionValues(const std::wstring& section, TStrings& strings);
  // A section exists when it holds at least one key.
  bool SectionExists(const std::wstring& section);
  bool ValueExists(const std::wstring& section, const std::wstring& ident);

private:
  std::wstring FFileName;
};

// Reads and writes the file through the system's profile functions. A write
// that fails raises EIniFileException "Unable to write to %s" unless
// SilentWriteErrors is set.
class TIniFile : public TCustomIniFile {
public:
  explicit TIniFile(const std::wstring& fileName) : TCustomIniFile(fileName) {}
  ~TIniFile() override;

  std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                          const std::wstring& def) override;
  void WriteString(const std::wstring& section, const std::wstring& ident,
                   const std::wstring& value) override;
  void ReadSection(const std::wstring& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const std::wstring& section) override;
  void DeleteKey(const std::wstring& section, const std::wstring& ident) override;
  void UpdateFile() override;

  bool SilentWriteErrors() const { return FSilentWriteErrors; }
  void SetSilentWriteErrors(bool value) { FSilentWriteErrors = value; }

private:
  void WriteFailed();

  bool FSilentWriteErrors = false;
};

// Keeps the whole file in memory; names are matched without regard to case,
// blanks around names and values are dropped, ";" lines are comments.
// UpdateFile writes the file back.
class TMemIniFile : public TCustomIniFile {
public:
  // Loads the file when it exists; an empty name makes an empty INI.
  explicit TMemIniFile(const std::wstring& fileName = L"");

  std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                          const std::wstring& def) override;
  void WriteString(const std::wstring& section, const std::wstring& ident,
                   const std::wstring& value) override;
  void ReadSection(const std::wstring& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const std::wstring& section) override;
  void DeleteKey(const std::wstring& section, const std::wstring& ident) override;
  void UpdateFile() override;

  void Clear();
  // Replaces the contents by the INI text in the lines.
  void SetStrings(const TStrings& lines);
  void SetText(const std::wstring& text);
  void GetStrings(TStrings& lines) const;

private:
  // Names are indexed by their lower-case form, so a look-up does not scan.
  struct TSection {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> values;
    std::unordered_map<std::wstring, size_t> index;
  };
  TSection* FindSection(const std::wstring& name);
  TSection& AddSection(const std::wstring& name);
  static void Reindex(TSection& s);

  std::vector<TSection> FSections;
  std::unordered_map<std::wstring, size_t> FSectionIndex;
};
