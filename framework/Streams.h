// Byte streams: the abstract TStream, memory, file and resource streams.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// File open modes, combined with a share mode.
constexpr unsigned fmCreate = 0xFFFF;
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

class TStream {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Return the number of bytes moved, possibly fewer than asked.
  virtual long Read(void* buffer, long count) = 0;
  virtual long Write(const void* buffer, long count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  // Move exactly count bytes or raise EReadError "Stream read error" /
  // EWriteError "Stream write error".
  void ReadBuffer(void* buffer, long count);
  void WriteBuffer(const void* buffer, long count);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t value) { Seek(value, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t value);

  // Copies count bytes from source; 0 copies the whole source from its start.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over a block of memory that grows on writing.
class TMemoryStream : public TStream {
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  long Read(void* buffer, long count) override;
  long Write(const void* buffer, long count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FSize; }
  void SetSize(int64_t value) override;

  void* Memory() { return FMemory; }
  const void* Memory() const { return FMemory; }
  void Clear();
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  // Raise EFOpenError / EFCreateError.
  void LoadFromFile(const std::wstring& fileName);
  void SaveToFile(const std::wstring& fileName);

private:
  void SetCapacity(int64_t value);

  uint8_t* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FCapacity = 0;
  int64_t FPosition = 0;
};

// A stream over a file. Raises EFCreateError "Cannot create file "%s". %s" or
// EFOpenError "Cannot open file "%s". %s".
class TFileStream : public TStream {
public:
  TFileStream(const std::wstring& fileName, unsigned mode);
  ~TFileStream() override;

  long Read(void* buffer, long count) override;
  long Write(const void* buffer, long count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t value) override;

  HANDLE Handle() const { return FHandle; }
  const std::wstring& FileName() const { return FFileName; }

private:
  HANDLE FHandle = INVALID_HANDLE_VALUE;
  std::wstring FFileName;
};

// A read-only stream over a resource of a module. Raises EResNotFound
// "Resource %s not found".
class TResourceStream : public TStream {
public:
  TResourceStream(HINSTANCE instance, const std::wstring& name, const wchar_t* type);
  TResourceStream(HINSTANCE instance, int id, const wchar_t* type);

  long Read(void* buffer, long count) override;
  long Write(const void* buffer, long count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FSize; }

  const void* Memory() const { return FMemory; }

private:
  void Initialize(HINSTANCE instance, const wchar_t* name, const wchar_t* type,
                  const std::wstring& shownName);

  const uint8_t* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};
