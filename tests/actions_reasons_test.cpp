// Why an action stopped early or changed nothing: one reason per call, cleared when a call
// starts, a stop outranking a note, and the reason of a call that the host's callback
// interrupted coming back after the nested call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/actions.h"
#include "actions/reasons.h"
#include "support/action_hosts.h"

namespace {

using zq::actions::LastReason;
using zq::testing::InProcessActions;

struct Case {
  int32_t number;
  std::vector<std::string> args;
  std::string reason;
};

TEST(ActionReasons, EachFailureSaysWhy) {
  const std::vector<Case> cases = {
      {3, {"Nowhere", "S", "1", "2", "", "0,0,0"}, "no chart over the rectangle \"Nowhere\""},
      {3, {"A", "T", "1|2|3", "5|6", "", "255,0,0"}, "X has 3 values, Y has 2"},
      {3, {"A", "T", "1|2|3", "5|6|7", "a|b", "255,0,0"}, "X has 3 values, the labels 2"},
      {3,
       {"A", "T", "1|2", "5|6", "", "255,0"},
       "parameter 6: not a colour text (red,green,blue): \"255,0\""},
      {3,
       {"A", "T", "1|2,5", "5|6", "", "255,0,0"},
       "parameter 3: X value 2 is not a number text (decimal separator \".\"): \"2,5\""},
      // Pair by pair: the X of a pair before its Y, the earlier pair before the later.
      {3,
       {"A", "T", "1|2|3|x", "5|y|7|8", "", "255,0,0"},
       "parameter 4: Y value 2 is not a number text (decimal separator \".\"): \"y\""},
      {3,
       {"A", "T", "1|x|3", "5|y|7", "", "255,0,0"},
       "parameter 3: X value 2 is not a number text (decimal separator \".\"): \"x\""},
      {3,
       {"A", "T", "\"1\"", "5", "", "255,0,0"},
       "parameter 3: X value 1 is not a number text (decimal separator \".\"): \"\"1\"\""},
      {11, {"A", "Other", "0,0,255"}, "no series \"Other\" in the chart over \"A\""},
      {6,
       {"A", "T", "Arial|clRed|12|fsBold|204", "center"},
       "parameter 4: \"center\" is not one of Left, Center, Right"},
      {6,
       {"A", "T", "Arial|clRedd|12||204", "Left"},
       "parameter 3: the font colour is not a colour name or integer text: \"clRedd\""},
      {6,
       {"A", "T", "Arial|clRed", "Left"},
       "parameter 3: not a font text (face|colour|size|styles|charset): \"Arial|clRed\""},
      {28,
       {"A", "False", "missing.bmp", "Stretch"},
       "parameter 3: picture cannot be read: Cannot open picture file: missing.bmp"},
      {28, {"A", "False", "", "Stretch"}, "parameter 3: picture cannot be read: no file named"},
      {13,
       {"A", "500"},
       "parameter 2: a value out of range: 3D effect percent must be between 1 and 100"},
      {17, {"A", "", "", "", "", "Dash"}, "parameter 5: not an integer text: \"\""},
      {17,
       {"A", "", "", "", "0", "Dash"},
       "parameter 5: a width of 0 is not applied (only above 0)"},
      {36,
       {"A", "99999999999"},
       "parameter 2: a value out of range: \"99999999999\" does not fit 32 bits"},
      {34, {"A", "TRUE"}, "parameter 2: \"TRUE\" is not one of True, true, False, false"},
      {5, {"A", "S", "1"}, "parameter 3: not a point and count text (point|count): \"1\""},
      {5,
       {"A", "S", "1|9"},
       "parameter 3: 9 points to delete from point 1, the series has 2 from there"},
      {5, {"A", "S", "1|0"}, "parameter 3: a count of 0 deletes nothing"},
      {10,
       {"A", "S", "7", "0,0,0"},
       "parameter 3: a value out of range: segment 7 of a series with 3 points"},
      {16,
       {"A", "S", "False", "True"},
       "parameter 4 counts only when parameter 3 switches stairs on"},
      // A stop outranks the note before it.
      {30,
       {"A", "plain", "200"},
       "parameter 3: a value out of range: Legend Color Width must be between 0 and 100 %"},
      {2, {"Nowhere"}, "no chart over the rectangle \"Nowhere\""},
      {1, {"NoWindow"}, "the host has no window for the rectangle \"NoWindow\""},
      {45, {}, "there is no action number 45"},
      {11, {"A", "S", "0,0,255"}, ""},
  };
  for (const Case& c : cases) {
    InProcessActions actions;
    actions.CreateChart("A");
    actions.Run(3, {"A", "S", "1|2|3", "5|6|7", "", "255,0,0"});
    actions.Run(c.number, c.args);
    EXPECT_EQ(LastReason(), c.reason) << "action " << c.number;
  }
}

TEST(ActionReasons, ClearedWhenACallStartsKeptAfterItEnds) {
  InProcessActions actions;
  actions.CreateChart("A");
  actions.Run(27, {"A", "1,2"});
  EXPECT_EQ(LastReason(), "parameter 2: not a colour text (red,green,blue): \"1,2\"");
  EXPECT_EQ(LastReason(), "parameter 2: not a colour text (red,green,blue): \"1,2\"");
  actions.Run(27, {"A", "1,2,3"});
  EXPECT_EQ(LastReason(), "");
}

// A host that runs a failing action while it answers request code 7.
class MeddlingHost : public zq::testing::FakeHostServices {
 public:
  std::string AskObjectWindow(const std::string& name) override {
    zq::actions::RunAction(27, {"Nowhere", "0,0,0"}, *this);
    inner = LastReason();
    return FakeHostServices::AskObjectWindow(name);
  }
  std::string inner;
};

TEST(ActionReasons, ANestedCallKeepsItsOwnReason) {
  MeddlingHost host;
  zq::actions::RunAction(1, {"Z"}, host);
  EXPECT_EQ(host.inner, "no chart over the rectangle \"Nowhere\"");
  EXPECT_EQ(LastReason(), "the host has no window for the rectangle \"Z\"");
  zq::actions::EndAllCharts();
}

}  // namespace
