#include "container/param_list.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(ParamList, SplitsAtEveryKindOfLineBreakAndStopsAtNul) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"A=1\r\nB=2\r\n", {"A=1", "B=2"}},
        {"A=1\nB=2", {"A=1", "B=2"}},
        {"A=1\rB=2\r", {"A=1", "B=2"}},
        {"A=1\r\n\r\nB=2\r\n", {"A=1", "", "B=2"}},
        {"A=1\n\nB=2", {"A=1", "", "B=2"}},
        {std::string("A=1\r\nB=2\0C=3\r\n", 14), {"A=1", "B=2"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        ParamList list;
        list.setText(c.text);
        EXPECT_EQ(list.lines(), c.lines) << c.text;
    }
}

TEST(ParamList, LooksUpWithoutCaseAndTakesEverythingAfterFirstEquals) {
    ParamList list({"Name=a=b", "EMPTY=", "plain"});
    EXPECT_EQ(list.value("NAME"), "a=b");
    EXPECT_EQ(list.value("empty"), "");
    EXPECT_EQ(list.value("missing"), "");
    EXPECT_EQ(list.value("plain"), "");
}

TEST(ParamList, SetValueReplacesInPlaceAppendsAndRemoves) {
    ParamList list({"A=1", "B=2", "C=3"});
    list.setValue("b", "9");
    list.setValue("D", "4");
    list.setValue("A", "");
    EXPECT_EQ(list.lines(), (std::vector<std::string>{"b=9", "C=3", "D=4"}));
    EXPECT_EQ(list.text(), "b=9\r\nC=3\r\nD=4\r\n");
}

}  // namespace
}  // namespace qv
