#include "framework/Streams.h"

#include "framework/SysUtils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

// ---------------------------------------------------------------------------
// TStream

void TStream::ReadBuffer(void* buffer, long count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(L"Stream read error");
}

void TStream::WriteBuffer(const void* buffer, long count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(L"Stream write error");
}

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {
  throw EStreamError(L"Invalid stream operation");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 0xF000) + 1));
  while (count > 0) {
    long n = static_cast<long>(std::min<int64_t>(count, 0xF000));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    count -= n;
  }
  return total;
}

// ---------------------------------------------------------------------------
// TMemoryStream

TMemoryStream::~TMemoryStream() {
  std::free(FMemory);
}

void TMemoryStream::SetCapacity(int64_t value) {
  if (value == FCapacity) return;
  if (value == 0) {
    std::free(FMemory);
    FMemory = nullptr;
  } else {
    void* p = std::realloc(FMemory, static_cast<size_t>(value));
    if (!p) throw EOutOfMemory(L"Out of memory while expanding memory stream");
    FMemory = static_cast<uint8_t*>(p);
  }
  FCapacity = value;
}

long TMemoryStream::Read(void* buffer, long count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  long n = static_cast<long>(std::min<int64_t>(count, FSize - FPosition));
  std::memcpy(buffer, FMemory + FPosition, n);
  FPosition += n;
  return n;
}

long TMemoryStream::Write(const void* buffer, long count) {
  if (count <= 0) return 0;
  int64_t end = FPosition + count;
  if (end > FSize) {
    if (end > FCapacity) SetCapacity(std::max<int64_t>(end, FCapacity + FCapacity / 4 + 256));
    if (FPosition > FSize) std::memset(FMemory + FSize, 0, static_cast<size_t>(FPosition - FSize));
    FSize = end;
  }
  std::memcpy(FMemory + FPosition, buffer, count);
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
  int64_t pos = base + offset;
  if (pos < 0) pos = 0;
  FPosition = pos;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t value) {
  if (value < 0) value = 0;
  int64_t old = FSize;
  SetCapacity(value);
  if (value > old) std::memset(FMemory + old, 0, static_cast<size_t>(value - old));
  FSize = value;
  if (FPosition > value) FPosition = value;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  FSize = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  int64_t count = stream.Size();
  SetSize(count);
  if (count) stream.ReadBuffer(FMemory, static_cast<long>(count));
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) {
  if (FSize) stream.WriteBuffer(FMemory, static_cast<long>(FSize));
}

void TMemoryStream::LoadFromFile(const std::wstring& fileName) {
  TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TMemoryStream::SaveToFile(const std::wstring& fileName) {
  TFileStream f(fileName, fmCreate);
  SaveToStream(f);
}

// ---------------------------------------------------------------------------
// TFileStream

TFileStream::TFileStream(const std::wstring& fileName, unsigned mode) : FFileName(fileName) {
  static const DWORD access[3] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  static const DWORD share[5] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE};
  if (mode == fmCreate) {
    FHandle = CreateFileW(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFCreateError(
          Format(L"Cannot create file \"%s\". %s", {fileName, SysErrorMessage(GetLastError())}));
    return;
  }
  unsigned a = mode & 3, s = (mode & 0xF0) >> 4;
  if (a > 2) a = 2;
  if (s > 4) s = 4;
  FHandle = CreateFileW(fileName.c_str(), access[a], share[s], nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE)
    throw EFOpenError(
        Format(L"Cannot open file \"%s\". %s", {fileName, SysErrorMessage(GetLastError())}));
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}

long TFileStream::Read(void* buffer, long count) {
  DWORD n = 0;
  if (count <= 0 || !ReadFile(FHandle, buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
  return static_cast<long>(n);
}

long TFileStream::Write(const void* buffer, long count) {
  DWORD n = 0;
  if (count <= 0 || !WriteFile(FHandle, buffer, static_cast<DWORD>(count), &n, nullptr)) return 0;
  return static_cast<long>(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER dist, pos;
  dist.QuadPart = offset;
  if (!SetFilePointerEx(FHandle, dist, &pos, static_cast<DWORD>(origin))) return -1;
  return pos.QuadPart;
}

void TFileStream::SetSize(int64_t value) {
  Seek(value, soBeginning);
  if (!SetEndOfFile(FHandle)) throw EStreamError(L"Stream write error");
}

// ---------------------------------------------------------------------------
// TResourceStream

TResourceStream::TResourceStream(HINSTANCE instance, const std::wstring& name,
                                 const wchar_t* type) {
  Initialize(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, const wchar_t* type) {
  Initialize(instance, MAKEINTRESOURCEW(id), type, IntToStr(id));
}

void TResourceStream::Initialize(HINSTANCE instance, const wchar_t* name, const wchar_t* type,
                                 const std::wstring& shownName) {
  HRSRC res = FindResourceW(instance, name, type);
  HGLOBAL data = res ? LoadResource(instance, res) : nullptr;
  if (!data) throw EResNotFound(Format(L"Resource %s not found", {shownName}));
  FMemory = static_cast<const uint8_t*>(LockResource(data));
  FSize = SizeofResource(instance, res);
}

long TResourceStream::Read(void* buffer, long count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  long n = static_cast<long>(std::min<int64_t>(count, FSize - FPosition));
  std::memcpy(buffer, FMemory + FPosition, n);
  FPosition += n;
  return n;
}

long TResourceStream::Write(const void*, long) {
  throw EStreamError(L"Can't write to a read-only resource stream");
}

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? FPosition : FSize;
  FPosition = std::max<int64_t>(0, base + offset);
  return FPosition;
}
