// Declarative construction of a form's components: a table of entries in
// creation order (kind, member, name, parent, bounds, caption and the few
// properties each sets) that BuildComponents creates, owned by the form, and
// stores in the form's members.
//
//   BuildComponents(this, {
//       {GroupBoxFormat, {.Name = L"GroupBoxFormat", .Bounds = {8, 8, 393, 72},
//                         .Caption = L"Format"}},
//       {ButtonOK, {.Name = L"ButtonOK", .Parent = GroupBoxFormat,
//                   .Bounds = {12, 20, 75, 25}, .Caption = L"&OK"},
//        [](TButton& b) { b.SetDefault(true); }},
//   });
#pragma once

#include <concepts>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/Controls.h"

// Left, top, width and height; a default-constructed one leaves the
// component's own bounds.
struct TBounds {
  constexpr TBounds() = default;
  constexpr TBounds(int ALeft, int ATop, int AWidth, int AHeight)
      : Left(ALeft), Top(ATop), Width(AWidth), Height(AHeight), Given(true) {}
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Given = false;
};

// The parent of an entry: the owner (default), a component, nothing
// (nullptr), or a member (or variable) that an earlier entry of the same table
// fills. A control's parent is a control; any other component is put into its
// parent by SetParentComponent (an item into its menu or toolbar).
class TParentRef {
public:
  TParentRef() = default;
  TParentRef(TComponent* Component) : FKind(Fixed), FComponent(Component) {}
  template <class T>
  requires std::derived_from<T, TComponent> TParentRef(T*& Member)
      : FKind(Deferred), FMember([&Member]() -> TComponent* { return Member; }) {}
  // The parent to use; Owner for the default. A member still unset throws.
  TComponent* Resolve(TComponent* Owner) const;
  bool IsDefault() const { return FKind == OwnerDefault; }

private:
  enum TKind { OwnerDefault, Fixed, Deferred };
  TKind FKind = OwnerDefault;
  TComponent* FComponent = nullptr;
  std::function<TComponent*()> FMember;
};

// What the builder sets on every kind, in this order after creation: name,
// visibility (before the parent, so that a hidden control makes no window
// when it joins it), parent (a tab sheet joins its page control), caption,
// auto size off, bounds, auto size on; then the entry's setup runs, and
// OnClick comes last, so that the setup fires no event. All but the name apply
// to controls only, but for a parent given to another component: that one
// joins its parent (SetParentComponent, an item its menu) after its setup.
struct TComponentProps {
  std::wstring Name = {};
  TParentRef Parent = {};
  TBounds Bounds = {};
  std::optional<std::wstring> Caption = {};
  std::optional<bool> AutoSize = {};
  std::optional<bool> Visible = {};
  TNotifyEvent OnClick = {};
};

// Entries may name the fields (designated initialisers) or give them in
// order: {L"Name", Parent, {Left, Top, Width, Height}, L"Caption", AutoSize, Visible}.

// An entry without a member to store the component in.
template <class T> struct TUnbound {};
template <class T> inline constexpr TUnbound<T> Unbound{};

// One row of the table: creates a T owned by the owner, stores it in Member,
// applies the common properties, runs Setup for the kind's own properties, then connects
// the events.
class TComponentEntry {
public:
  template <class T>
  requires std::derived_from<T, TComponent>
  TComponentEntry(T*& Member, TComponentProps Props,
                  std::type_identity_t<std::function<void(T&)>> Setup = {})
      : FProps(std::move(Props)), FCreate(Maker(&Member, std::move(Setup))) {}

  template <class T>
  requires std::derived_from<T, TComponent>
  TComponentEntry(TUnbound<T>, TComponentProps Props,
                  std::type_identity_t<std::function<void(T&)>> Setup = {})
      : FProps(std::move(Props)), FCreate(Maker<T>(nullptr, std::move(Setup))) {}

  void Create(TComponent* Owner) const { FCreate(Owner, *this); }

private:
  using TCreate = std::function<void(TComponent* Owner, const TComponentEntry& Entry)>;
  template <class T> static TCreate Maker(T** Member, std::function<void(T&)> Setup) {
    return [Member, Setup = std::move(Setup)](TComponent* Owner, const TComponentEntry& Entry) {
      T* c = new T(Owner);
      if (Member) *Member = c;
      Entry.Apply(*c, Owner);
      if (Setup) Setup(*c);
      Entry.Join(*c, Owner);
      Entry.Connect(*c);
    };
  }
  void Apply(TComponent& Component, TComponent* Owner) const;
  void Join(TComponent& Component, TComponent* Owner) const;
  void Connect(TComponent& Component) const;
  TComponentProps FProps;
  TCreate FCreate;
};

// Creates the entries in order, each owned by Owner; Owner is the default
// parent when it is a control.
void BuildComponents(TComponent* Owner, std::initializer_list<TComponentEntry> Entries);
// The same for a table put together from parts.
void BuildComponents(TComponent* Owner, const std::vector<TComponentEntry>& Entries);
