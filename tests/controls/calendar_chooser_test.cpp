// The device's appointment-or-task chooser: the rows it lists, the item it gives back headless and
// live, and what it does when there is nothing to choose from.
#include "platform/controls/control_messages.h"
#include "platform/pim/calendar_chooser.h"
#include "controls_fixture.h"
#include "platform/pim/pim_store.h"
#include "platform/window/message_queue.h"

namespace controls_test {
namespace {

using platform::pim::Appointment;
using platform::pim::CalendarChoice;
using platform::pim::ChooseCalendarItem;
using platform::pim::PimKind;
using platform::pim::PimStore;
using platform::pim::Task;

class CalendarChooserTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    PimStore* store = PimStore::ForCurrentDevice();
    Task report;
    report.subject = "Report";
    report.due = 1796688000;  // 2026-12-08 00:00 UTC
    reportId = *store->Add(report);
    Appointment lunch;
    lunch.subject = "Lunch";
    lunch.start = 1796644800;  // 2026-12-07 12:00 UTC
    lunch.end = lunch.start + 3600;
    lunchId = *store->Add(lunch);
    Appointment eve;
    eve.subject = "Christmas Eve";
    eve.start = 1798070400;  // 2026-12-24
    eve.allDay = true;
    eveId = *store->Add(eve);
    untitledId = *store->Add(Task{});
  }

  std::int64_t reportId = 0, lunchId = 0, eveId = 0, untitledId = 0;
};

TEST_F(CalendarChooserTest, AppointmentsComeFirstThenTasksAndTheRowNumberPicksTheItem) {
  const std::u16string listing =
      u"1. Lunch - 2026-12-07 12:00\n2. Christmas Eve - 2026-12-24\n3. Report "
      u"- task, due 2026-12-08\n"
      u"4. (no subject) - task\n";
  const std::pair<int, CalendarChoice> cases[] = {
      {1, {PimKind::kAppointment, lunchId}},
      {2, {PimKind::kAppointment, eveId}},
      {3, {PimKind::kTask, reportId}},
      {4, {PimKind::kTask, untitledId}},
  };
  for (const auto& [row, expected] : cases) {
    platform::automation::QueueAnswer(row, listing);
    const std::optional<CalendarChoice> choice = ChooseCalendarItem(nullptr, u"Pick one");
    ASSERT_TRUE(choice.has_value()) << row;
    EXPECT_EQ(*choice, expected) << row;
  }
  EXPECT_EQ(platform::automation::PendingAnswers(), 0u) << "every prompt listed the rows as expected";
  EXPECT_EQ(platform::automation::PromptLog().back().kind, u"CalendarChooser");
  EXPECT_EQ(platform::automation::PromptLog().back().caption, u"Pick one");
}

TEST_F(CalendarChooserTest, CancellingNoSuchRowAndAnEmptyStoreChooseNothing) {
  for (int answer : {0, 5, -1}) {
    platform::automation::QueueAnswer(answer);
    EXPECT_FALSE(ChooseCalendarItem(nullptr).has_value()) << answer;
  }
  // Nobody to ask: the careful answer is to choose nothing.
  std::vector<std::u16string> unexpected;
  platform::automation::SetUnexpectedPromptHandler(
      [&](const platform::automation::Prompt& prompt) { unexpected.push_back(prompt.kind); });
  EXPECT_FALSE(ChooseCalendarItem(nullptr).has_value());
  EXPECT_EQ(unexpected, std::vector<std::u16string>{u"CalendarChooser"});
  PimStore* store = PimStore::ForCurrentDevice();
  ASSERT_TRUE(store->Remove(PimKind::kTask, reportId));
  ASSERT_TRUE(store->Remove(PimKind::kTask, untitledId));
  ASSERT_TRUE(store->Remove(PimKind::kAppointment, lunchId));
  platform::automation::QueueAnswer(1, u"1. Christmas Eve - 2026-12-24\n");
  EXPECT_EQ(ChooseCalendarItem(nullptr), (CalendarChoice{PimKind::kAppointment, eveId})) << "removed items are gone";
  ASSERT_TRUE(store->Remove(PimKind::kAppointment, eveId));
  const std::size_t asked = platform::automation::PromptLog().size();
  EXPECT_FALSE(ChooseCalendarItem(nullptr).has_value());
  EXPECT_EQ(platform::automation::PromptLog().size(), asked) << "nothing to offer, no question";
}

TEST_F(CalendarChooserTest, APersonPicksARowInTheWindowOverItsDisabledOwner) {
  HWND owner = MakeOwner();
  int waits = 0;
  bool ownerDisabled = false;
  platform::window::SetWaitHandler([&](DWORD) {
    if (++waits > 1) return;
    HWND chooser = FindWindowW(platform::pim::kCalendarChooserClass, nullptr);
    ASSERT_NE(chooser, nullptr);
    ownerDisabled = !IsWindowEnabled(owner);
    HWND list = GetWindow(chooser, GW_CHILD);
    while (list && GetDlgCtrlID(list) != 100) list = GetWindow(list, GW_HWNDNEXT);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    PostMessageW(chooser, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(ChooseCalendarItem(owner), (CalendarChoice{PimKind::kTask, reportId}));
  platform::window::SetWaitHandler(nullptr);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowW(platform::pim::kCalendarChooserClass, nullptr), nullptr);
}

}  // namespace
}  // namespace controls_test
