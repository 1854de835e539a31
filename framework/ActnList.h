// Actions and action lists; links that make controls and menu items follow an action.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/Controls.h"

class TCustomImageList;
class TBasicActionLink;
class TCustomActionList;

// A key with modifiers as a shortcut value, and back.
TShortCut ShortCut(WORD Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);

class TBasicAction : public TComponent {
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;
  // Runs OnExecute; false when nothing handled the action.
  virtual bool Execute();
  // Runs OnUpdate; false when nothing handled it.
  virtual bool Update();
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value) { FActionComponent = Value; }
  void RegisterChanges(TBasicActionLink* Link);
  void UnRegisterChanges(TBasicActionLink* Link);
  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

protected:
  virtual void Change();
  std::vector<TBasicActionLink*> FClients;

private:
  TComponent* FActionComponent = nullptr;
};

class TBasicActionLink : public TObject {
public:
  explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
  ~TBasicActionLink() override;
  TBasicAction* Action() const { return FAction; }
  virtual void SetAction(TBasicAction* Value);
  // Executes the action for AComponent.
  virtual bool Execute(TComponent* AComponent = nullptr);
  virtual bool Update();
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  virtual void Change();
  TObject* FClient;
  TBasicAction* FAction = nullptr;
};

class TContainedAction : public TBasicAction {
public:
  explicit TContainedAction(TComponent* AOwner);
  ~TContainedAction() override;
  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* Value);
  const std::wstring& Category() const { return FCategory; }
  void SetCategory(const std::wstring& Value) { FCategory = Value; }
  int Index() const;
  void SetIndex(int Value);
  // The list's OnExecute may handle it first.
  bool Execute() override;
  // The list's OnUpdate(Action, Handled) may handle it first.
  bool Update() override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  std::wstring FCategory;
};

class TCustomAction : public TContainedAction {
public:
  explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

  const std::wstring& Caption() const { return FCaption; }
  void SetCaption(const std::wstring& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value) { FAutoCheck = Value; }
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  // Updates, then executes when enabled.
  bool Execute() override;
  virtual bool DoHint(std::wstring& HintStr);

private:
  std::wstring FCaption, FHint;
  bool FChecked = false, FEnabled = true, FVisible = true, FAutoCheck = false;
  int FImageIndex = -1, FGroupIndex = 0, FHelpContext = 0;
  TShortCut FShortCut = 0;
};

class TAction : public TCustomAction {
public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// A link whose client takes the action's properties.
class TActionLink : public TBasicActionLink {
public:
  using TBasicActionLink::TBasicActionLink;
  virtual void SetCaption(const std::wstring&) {}
  virtual void SetChecked(bool) {}
  virtual void SetEnabled(bool) {}
  virtual void SetHint(const std::wstring&) {}
  virtual void SetImageIndex(int) {}
  virtual void SetShortCut(TShortCut) {}
  virtual void SetVisible(bool) {}
};

class TControlActionLink : public TActionLink {
public:
  explicit TControlActionLink(TControl* AClient) : TActionLink(AClient), FControl(AClient) {}
  void SetCaption(const std::wstring& Value) override { FControl->SetCaption(Value); }
  void SetEnabled(bool Value) override { FControl->SetEnabled(Value); }
  void SetHint(const std::wstring& Value) override { FControl->SetHint(Value); }
  void SetVisible(bool Value) override { FControl->SetVisible(Value); }

protected:
  TControl* FControl;
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
public:
  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TContainedAction* Actions(int Index) const;
  void AddAction(TContainedAction* Action);
  void RemoveAction(TContainedAction* Action);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);

  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Runs the first action in list order whose shortcut is the key's.
  bool IsShortCut(TMessage& Message);
  // Updates every action (done on idle).
  void UpdateActions();

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TContainedAction;
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
  explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// Updates the actions of every action list (the application's idle step).
void UpdateAllActionLists();
