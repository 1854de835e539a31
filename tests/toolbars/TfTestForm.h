// A test form that makes items whose clicks are recorded by caption.
#pragma once

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "toolbars/TfItem.h"

struct TfItemMaker {
  TForm* Form = nullptr;
  std::vector<std::wstring> Clicked;

  TTfSubmenuItem* AddSub(TTfCustomItem* parent, const wchar_t* caption) {
    auto* s = new TTfSubmenuItem(Form);
    s->SetCaption(caption);
    parent->Add(s);
    return s;
  }
  TTfItem* AddItem(TTfCustomItem* parent, const wchar_t* caption) {
    auto* it = new TTfItem(Form);
    it->SetCaption(caption);
    std::wstring c = caption;
    it->OnClick = [this, c](TObject*) { Clicked.push_back(c); };
    parent->Add(it);
    return it;
  }
  void AddSep(TTfCustomItem* parent) { parent->Add(new TTfSeparatorItem(Form)); }
};
