// Look-and-feel settings: a tree of TlfLookAndFeel objects whose kind,
// native style and skin name fall back to their master or the root, the
// painter each one chooses, the design-time controller of the root and the
// hidden window that reports system colour changes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "framework/Classes.h"
#include "lookandfeel/lfClasses.h"
#include "lookandfeel/lxThemeManager.h"

enum TlfLookAndFeelKind { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TlfLookAndFeelValue { lfvKind, lfvNativeStyle, lfvSkinName };
// A set of TlfLookAndFeelValue: bit 1 kind, 2 native style, 4 skin name.
using TlfLookAndFeelValues = unsigned;
constexpr TlfLookAndFeelValues lfvKindBit = 1, lfvNativeStyleBit = 2, lfvSkinNameBit = 4,
                               lfvAllBits = 7;
using TlxSkinName = std::wstring;

struct TlfLookAndFeelData {
  TlfLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  TlxSkinName SkinName;
  bool operator==(const TlfLookAndFeelData&) const = default;
};

// Painters are classes used through shared instances; the painters' unit
// defines them and hands them over with lfRegisterPainterClasses.
class TlfCustomLookAndFeelPainter;
using TlfLookAndFeelPainterClass = TlfCustomLookAndFeelPainter*;

class TlfLookAndFeel;

class ILookAndFeelChangeListener {
public:
  virtual ~ILookAndFeelChangeListener() = default;
  virtual TObject* ListenerObject() = 0;
  virtual void MasterChanged(TlfLookAndFeel* Sender, TlfLookAndFeelValues Values) = 0;
  virtual void MasterDestroying(TlfLookAndFeel* Sender) = 0;
};

class IPainterChangeListener {
public:
  virtual ~IPainterChangeListener() = default;
  virtual void PainterChanged() = 0;
};

// Objects that support skins (the container styles) implement this.
class IlfSkinSupport {
public:
  virtual ~IlfSkinSupport() = default;
};

// The registry of extended-style painters, kept by the painters' unit: it
// sets these while its registry exists (empty functions: no registry).
struct TlfExtendedStyleRegistryLink {
  std::function<bool(const std::wstring& Name, TlfLookAndFeelPainterClass& Painter)> FindPainter;
  std::function<void(IPainterChangeListener*)> AddPainterListener;
  std::function<void(IPainterChangeListener*)> RemovePainterListener;
  bool Exists() const { return static_cast<bool>(FindPainter); }
};
TlfExtendedStyleRegistryLink& lfExtendedStyleRegistry();

// The painter class table (one class per kind) and the XP painter.
void lfRegisterPainterClasses(TlfLookAndFeelPainterClass Flat, TlfLookAndFeelPainterClass Standard,
                              TlfLookAndFeelPainterClass UltraFlat,
                              TlfLookAndFeelPainterClass Office11,
                              TlfLookAndFeelPainterClass WinXP);
TlfLookAndFeelPainterClass lfPainterClass(TlfLookAndFeelKind Kind);
TlfLookAndFeelPainterClass lfWinXPPainterClass();
// Whether skin painters may be used (on).
extern bool lfSkinPaintersAllowed;
// Whether an object supports skins; installed at start-up.
extern bool (*lfIsSkinSupported)(TObject*);

// ---------------------------------------------------------------------------
// System colour changes

class TlfSystemPaletteChangedNotifier : public TObject {
public:
  explicit TlfSystemPaletteChangedNotifier(bool Primary = false);
  ~TlfSystemPaletteChangedNotifier() override;
  bool IsPrimary() const { return FPrimary; }
  virtual void FireChanged();
  std::function<void()> OnSystemPaletteChanged;

private:
  bool FPrimary;
};

// One hidden window while notifiers exist.
class TlfSystemPaletteChangedListener : public TObject {
public:
  TlfSystemPaletteChangedListener();
  ~TlfSystemPaletteChangedListener() override;
  HWND Handle() const { return FHandle; }
  void AddNotifier(TlfSystemPaletteChangedNotifier* N);
  void RemoveNotifier(TlfSystemPaletteChangedNotifier* N);

private:
  void WndProc(TMessage& Message);
  HWND FHandle = nullptr;
  std::vector<TlfSystemPaletteChangedNotifier*> FPrimary, FOrdinary;
};
// Null while no notifier exists.
TlfSystemPaletteChangedListener* lfSystemPaletteChangedListener();
int lfSystemPaletteChangedNotifierCount();

// ---------------------------------------------------------------------------
// Look-and-feel

class TlfLookAndFeel : public TlfInterfacedPersistent,
                       public ILookAndFeelChangeListener,
                       public IPainterChangeListener {
public:
  explicit TlfLookAndFeel(TPersistent* AOwner);
  ~TlfLookAndFeel() override;
  void Assign(TPersistent* Source) override;

  TlfLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TlfLookAndFeelValues Value);
  void ClearAssignedValues() { SetAssignedValues(0); }
  TlfLookAndFeelKind Kind() const { return FCurrent.Kind; }
  void SetKind(TlfLookAndFeelKind Value);
  bool NativeStyle() const { return FCurrent.NativeStyle; }
  void SetNativeStyle(bool Value);
  const TlxSkinName& SkinName() const { return FCurrent.SkinName; }
  void SetSkinName(const TlxSkinName& Value);
  // Whether a stored property is written (only when assigned).
  bool IsKindStored() const { return FAssignedValues & lfvKindBit; }
  bool IsNativeStyleStored() const { return FAssignedValues & lfvNativeStyleBit; }
  bool IsSkinNameStored() const { return FAssignedValues & lfvSkinNameBit; }

  // The master, or the root when none is set; none for the root.
  TlfLookAndFeel* Master() const;
  void SetMaster(TlfLookAndFeel* Value);
  bool IsRoot() const { return FIsRoot; }
  TlfLookAndFeelPainterClass Painter() const { return FPainter; }
  TlfLookAndFeelPainterClass SkinPainter() const { return FSkinPainter; }

  void AttachListener(ILookAndFeelChangeListener* Listener);
  void DetachListener(ILookAndFeelChangeListener* Listener);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  TlfLookAndFeelPainterClass ChoosePainter(TlxThemeClasses Classes = 0);

  virtual TlfLookAndFeelKind EffectiveKind() const;
  virtual bool EffectiveNativeStyle() const;
  virtual TlxSkinName EffectiveSkinName() const;
  virtual TlfLookAndFeelPainterClass EffectiveSkinPainter();
  virtual bool FindSkinPainter(const TlxSkinName& Name, TlfLookAndFeelPainterClass& Painter);
  virtual void SystemColorsChanged();

  // ILookAndFeelChangeListener
  TObject* ListenerObject() override { return this; }
  void MasterChanged(TlfLookAndFeel* Sender, TlfLookAndFeelValues Values) override;
  void MasterDestroying(TlfLookAndFeel* Sender) override;
  // IPainterChangeListener
  void PainterChanged() override;

  std::function<void(TlfLookAndFeel* Sender, TlfLookAndFeelValues Values)> OnSettingsChanged;

  // Marks this object as the root (start-up only).
  void MakeRoot();

private:
  friend class TlfLookAndFeelController;
  void NotifyChange(TlfLookAndFeelValues Values);
  void RecomputeState();
  void ReportDifferences();
  TlfLookAndFeelValues Differences() const;
  TlfLookAndFeel* ListHolder() const; // the master's or root's list we are in
  void UpdatePainterListener();

  TlfLookAndFeelValues FAssignedValues = 0;
  TlfLookAndFeelData FData, FCurrent, FPrevious;
  TlfLookAndFeel* FMaster = nullptr;
  bool FIsRoot = false;
  TlfLookAndFeelPainterClass FPainter = nullptr, FSkinPainter = nullptr;
  std::vector<ILookAndFeelChangeListener*> FListeners;
  bool FDestroying = false;
  bool FPainterListenerRegistered = false;
  TlfSystemPaletteChangedNotifier* FNotifier = nullptr;
  int FControllerCount = 0;
};

TlfLookAndFeel* GetRootLookAndFeel();

class TlfLookAndFeelController : public TComponent, public ILookAndFeelChangeListener {
public:
  explicit TlfLookAndFeelController(TComponent* AOwner);
  ~TlfLookAndFeelController() override;
  TlfLookAndFeelKind Kind() const;
  void SetKind(TlfLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);
  TlxSkinName SkinName() const;
  void SetSkinName(const TlxSkinName& Value);

  TObject* ListenerObject() override { return this; }
  void MasterChanged(TlfLookAndFeel* Sender, TlfLookAndFeelValues Values) override;
  void MasterDestroying(TlfLookAndFeel* Sender) override;
};

void lfLookAndFeelsInitialize();
void lfLookAndFeelsFinalize();
