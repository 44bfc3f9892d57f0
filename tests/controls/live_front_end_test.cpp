// Message boxes and modal dialogs with a front-end in place: the box or dialog is shown and waits
// for a person, whose taps and keys arrive while the nested loop waits, as the live window feeds
// them in.
#include <functional>

#include "controls_fixture.h"
#include "platform/dialog/dialog_api.h"
#include "platform/resources/resource_api.h"
#include "platform/window/message_queue.h"

namespace controls_test {
namespace {

// A front-end whose person acts once something waits for them; the action posts input only,
// as the live window does, and the loop that waits delivers it.
class Person {
 public:
  explicit Person(std::function<void()> act) : m_act(std::move(act)) {
    platform::window::SetWaitHandler([this](DWORD) {
      ++m_waits;
      // Nobody is left to act a second time: the wait would never end.
      ASSERT_LE(m_waits, 2) << "the loop waited again after the person acted";
      if (m_waits == 1) m_act();
    });
  }
  ~Person() { platform::window::SetWaitHandler(nullptr); }
  int waits() const { return m_waits; }

 private:
  std::function<void()> m_act;
  int m_waits = 0;
};

HWND ChildWithText(HWND parent, std::u16string_view text) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    WCHAR buffer[32] = {};
    GetWindowTextW(child, buffer, 32);
    if (text == buffer) return child;
  }
  return nullptr;
}

void PostTap(HWND button) {
  RECT r{};
  GetWindowRect(button, &r);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  platform::automation::PostMouseInput(WM_LBUTTONDOWN, middle);
  platform::automation::PostMouseInput(WM_LBUTTONUP, middle);
}

TEST_F(ControlsTest, WithAFrontEndAMessageBoxWaitsForTheButtonTapped) {
  HWND owner = MakeOwner();
  bool ownerDisabled = false;
  std::u16string caption;
  Person person([&] {
    HWND box = FindWindowW(u"MessageBoxWindow", nullptr);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(IsWindowVisible(box));
    ownerDisabled = !IsWindowEnabled(owner);
    WCHAR text[32] = {};
    GetWindowTextW(box, text, 32);
    caption = text;
    HWND no = ChildWithText(box, u"No");
    ASSERT_NE(no, nullptr);
    PostTap(no);
  });
  EXPECT_EQ(MessageBoxW(owner, u"Save changes?", u"Messages", MB_YESNOCANCEL), IDNO);
  EXPECT_EQ(person.waits(), 1);
  EXPECT_EQ(caption, u"Messages");
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(u"MessageBoxWindow", nullptr), nullptr);
  // The person answered: nothing went to the automation's queue.
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

TEST_F(ControlsTest, WithAFrontEndEnterPressesTheFirstButtonAndEscapeChangesNothing) {
  HWND owner = MakeOwner();
  {
    Person person([] { platform::automation::PostKeyInput(WM_KEYUP, VK_RETURN); });
    EXPECT_EQ(MessageBoxW(owner, u"Delete the slide?", u"Messages", MB_YESNO), IDYES);
  }
  {
    Person person([] { platform::automation::PostKeyInput(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(MessageBoxW(owner, u"Delete the slide?", u"Messages", MB_YESNO), IDNO);
  }
  {
    Person person([] { platform::automation::PostKeyInput(WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(MessageBoxW(owner, u"The message is too large.", u"Messages", MB_OK), IDOK);
  }
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(ControlsTest, AScriptedAnswerIsTakenEvenWithAFrontEnd) {
  Person person([] { FAIL() << "nobody should have been asked"; });
  platform::automation::QueueAnswer(IDYES, u"Send");
  EXPECT_EQ(MessageBoxW(nullptr, u"Send now?", u"Messages", MB_YESNO), IDYES);
  EXPECT_EQ(person.waits(), 0);
}

TEST_F(ControlsTest, WithAFrontEndAModalDialogEndsThroughItsButton) {
  HWND owner = MakeOwner();
  HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(200), RT_DIALOG);
  ASSERT_NE(resource, nullptr);
  auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(nullptr, resource)));
  Person person([] {
    HWND dialog = FindWindowW(u"Dialog", u"Call");
    ASSERT_NE(dialog, nullptr);
    PostTap(GetDlgItem(dialog, IDOK));
  });
  auto endOnCommand = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL)) return FALSE;
    EndDialog(hwnd, LOWORD(wParam));
    return TRUE;
  };
  EXPECT_EQ(DialogBoxIndirectParamW(nullptr, dialogTemplate, owner, endOnCommand, 0), IDOK);
  EXPECT_EQ(person.waits(), 1);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
  EXPECT_TRUE(platform::automation::PromptLog().empty());
}

}  // namespace
}  // namespace controls_test
