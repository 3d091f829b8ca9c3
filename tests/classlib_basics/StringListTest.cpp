#include "StringList.h"

#include <gtest/gtest.h>

namespace {

TEST(StringList, AddsInOrderAndIndexesFromZero)
{
    TStringList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add("COM3"), 0);
    EXPECT_EQ(list.Add("COM7"), 1);
    EXPECT_EQ(list.Add("COM3"), 2) << "duplicates are kept";
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(0), "COM3");
    EXPECT_EQ(list[1], "COM7");
    EXPECT_EQ(list.Strings(3), "") << "out of range reads empty";
    EXPECT_EQ(list.Strings(-1), "");
}

TEST(StringList, EditsThroughTheBase)
{
    TStringList owned;
    TStrings &list = owned; // as functions that fill a TStrings see it
    list.Add("b");
    list.Insert(0, "a");
    list.Insert(2, "c");
    list.Insert(9, "never");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n");
    list.SetStrings(1, "B");
    list.SetStrings(5, "ignored");
    list.Delete(0);
    list.Delete(7);
    EXPECT_EQ(list.Text(), "B\r\nc\r\n");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, FindsAndSortsWithoutRegardToCase)
{
    TStringList list;
    list.Add("vid_0403");
    list.Add("VID_0403+PID_6001");
    list.Add("Alpha");
    EXPECT_EQ(list.IndexOf("VID_0403"), 0);
    EXPECT_EQ(list.IndexOf("missing"), -1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("VID_0403"), -1);
    list.SetCaseSensitive(false);

    list.Sort();
    EXPECT_EQ(list.Text(), "Alpha\r\nvid_0403\r\nVID_0403+PID_6001\r\n");
}

TEST(StringList, SplitsText)
{
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[3], "four");
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);

    TStringList other;
    other.Add("x");
    other.AddStrings(other);
    EXPECT_EQ(other.Count(), 2) << "adding a list to itself doubles it once";
}

} // namespace
