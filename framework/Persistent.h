// The root object classes, apart so that light headers can derive from them.
#pragma once

#include <string>

class TObject {
public:
  virtual ~TObject() = default;
  // The class name without namespace ("TBitmap").
  virtual std::wstring ClassName() const;
  void Free() { delete this; }
};

class TPersistent : public TObject {
public:
  // Copies Source into this object; raises EConvertError when neither side
  // knows how to.
  virtual void Assign(TPersistent* Source);

protected:
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(TPersistent* Source);
};
