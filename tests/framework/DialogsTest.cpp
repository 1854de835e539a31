#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/framework/Snapshot.h"
#include "tests/support/Gui.h"

namespace {

std::vector<TButton*> ButtonsOf(TForm* form) {
  std::vector<TButton*> list;
  for (int i = 0; i < form->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TButton*>(form->Controls(i))) list.push_back(b);
  return list;
}

TButton* ButtonNamed(TForm* form, const std::wstring& name) {
  for (TButton* b : ButtonsOf(form))
    if (b->Name() == name) return b;
  return nullptr;
}

TEST(MessageDialog, ButtonsCaptionsNamesAndResults) {
  struct Case {
    TMsgDlgButtons button;
    const wchar_t* name;
    const wchar_t* caption;
    TModalResult result;
  };
  const Case cases[] = {
      {mbYes, L"Yes", L"&Yes", mrYes},
      {mbNo, L"No", L"&No", mrNo},
      {mbOK, L"OK", L"OK", mrOk},
      {mbCancel, L"Cancel", L"Cancel", mrCancel},
      {mbAbort, L"Abort", L"&Abort", mrAbort},
      {mbRetry, L"Retry", L"&Retry", mrRetry},
      {mbIgnore, L"Ignore", L"&Ignore", mrIgnore},
      {mbAll, L"All", L"&All", mrAll},
      {mbHelp, L"Help", L"&Help", mrNone},
  };
  TMsgDlgButtons all = 0;
  for (const auto& c : cases)
    all |= c.button;
  std::unique_ptr<TForm> form(CreateMessageDialog(L"Every button", mtInformation, all));
  std::vector<TButton*> buttons = ButtonsOf(form.get());
  ASSERT_EQ(buttons.size(), std::size(cases));
  for (size_t i = 0; i < buttons.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(buttons[i]->Name(), cases[i].name);
    EXPECT_EQ(buttons[i]->Caption(), cases[i].caption);
    EXPECT_EQ(buttons[i]->ModalResult(), cases[i].result);
    // In a row, left to right.
    if (i > 0) {
      EXPECT_GT(buttons[i]->Left(), buttons[i - 1]->Left());
      EXPECT_EQ(buttons[i]->Top(), buttons[i - 1]->Top());
    }
  }
  EXPECT_TRUE(buttons[0]->Default());
  EXPECT_TRUE(ButtonNamed(form.get(), L"Cancel")->Cancel());
  EXPECT_FALSE(ButtonNamed(form.get(), L"No")->Cancel());
  EXPECT_EQ(form->Caption(), L"Information");
  // The row fits in the form.
  EXPECT_LE(buttons.back()->Left() + buttons.back()->Width(), form->ClientWidth());
}

TEST(MessageDialog, CaptionsIconsAndCancelButtonByType) {
  struct Case {
    TMsgDlgType type;
    const wchar_t* caption;
    bool icon;
  };
  Application->SetTitle(L"Dialog Bench");
  const Case cases[] = {{mtWarning, L"Warning", true},
                        {mtError, L"Error", true},
                        {mtInformation, L"Information", true},
                        {mtConfirmation, L"Confirmation", true},
                        {mtCustom, L"Dialog Bench", false}};
  for (const auto& c : cases) {
    std::unique_ptr<TForm> form(CreateMessageDialog(L"Text", c.type, mbYesNo));
    EXPECT_EQ(form->Caption(), c.caption);
    auto* image = dynamic_cast<TImage*>(form->FindComponent(L"Image"));
    EXPECT_EQ(image != nullptr, c.icon) << int(c.type);
    if (image) EXPECT_GT(image->Picture()->Width(), 0);
    auto* message = dynamic_cast<TStaticText*>(form->FindComponent(L"Message"));
    ASSERT_TRUE(message);
    EXPECT_EQ(message->Caption(), L"Text");
    // Without Cancel, No answers Escape.
    EXPECT_TRUE(ButtonNamed(form.get(), L"No")->Cancel());
    EXPECT_TRUE(ButtonNamed(form.get(), L"Yes")->Default());
  }
}

TEST(MessageDialog, RelabelledButtonAnswersItsResult) {
  const std::wstring text = L"Save changes to \"take 1.wav\" & close?";
  std::unique_ptr<TForm> form(CreateMessageDialog(text, mtConfirmation, mbYesNoCancel));
  TButton* yes = ButtonNamed(form.get(), L"Yes");
  TButton* no = ButtonNamed(form.get(), L"No");
  ASSERT_TRUE(yes && no);
  yes->SetCaption(L"&Save");
  no->SetCaption(L"&Discard");

  // Once shown: a picture, then the answer.
  std::unique_ptr<testsupport::ModalAnswerer> answer;
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    EXPECT_TRUE(snapshot::SaveWindowPng(form->Handle(), L"framework_messagedialog.png"));
    answer = std::make_unique<testsupport::ModalAnswerer>(L"Confirmation", L"&Discard");
  };
  EXPECT_EQ(form->ShowModal(), mrNo);
  ASSERT_TRUE(answer);
  EXPECT_TRUE(answer->Wait());
  EXPECT_EQ(answer->SeenCaption(), L"Confirmation");
  // The text is shown as it is, "&" included.
  EXPECT_EQ(answer->SeenText(), text);
  // The buttons carry their results as control ids.
  EXPECT_EQ(GetDlgCtrlID(yes->Handle()), IDYES);
  EXPECT_EQ(GetDlgItem(form->Handle(), IDCANCEL), ButtonNamed(form.get(), L"Cancel")->Handle());

  // The same dialog again, answered by id.
  testsupport::ModalAnswerer again(L"Confirmation", IDYES);
  EXPECT_EQ(form->ShowModal(), mrYes);
  EXPECT_TRUE(again.Wait());
}

TEST(MessageDialog, KeysPickDefaultAndCancelButtons) {
  std::unique_ptr<TForm> form(CreateMessageDialog(L"Keys", mtWarning, mbOKCancel));
  TTimer timer(nullptr);
  timer.SetInterval(50);
  WORD key = VK_ESCAPE;
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    HWND focus = GetFocus();
    testsupport::KeyPress(focus ? focus : form->Handle(), key);
  };
  EXPECT_EQ(form->ShowModal(), mrCancel);
  key = VK_RETURN;
  timer.SetEnabled(true);
  EXPECT_EQ(form->ShowModal(), mrOk);
}

TEST(MessageDialog, MessageDlgReturnsTheChosenButton) {
  testsupport::ModalAnswerer answer(L"Error", L"&Retry");
  EXPECT_EQ(MessageDlg(L"The device is busy.", mtError, mbAbortRetryIgnore, 0), mrRetry);
  EXPECT_TRUE(answer.Wait());
  EXPECT_EQ(answer.SeenText(), L"The device is busy.");

  Application->SetTitle(L"Dialog Bench");
  testsupport::ModalAnswerer ok(L"Dialog Bench", IDOK);
  ShowMessage(L"Done.");
  EXPECT_TRUE(ok.Wait());
  EXPECT_EQ(ok.SeenText(), L"Done.");
}

} // namespace
