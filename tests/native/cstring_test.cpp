#include "afx/CString.h"

#include <gtest/gtest.h>

#include <string>

TEST(CString, ValueSemanticsAndConcatenation)
{
    CString a("mesh");
    CString b = a;
    b += " list";
    EXPECT_EQ(a, "mesh");
    EXPECT_EQ(b, "mesh list");
    EXPECT_EQ(b.GetLength(), 9);
    EXPECT_EQ("[" + a + ']' + CString("!"), "[mesh]!");

    CString moved(std::move(b));
    EXPECT_EQ(moved, "mesh list");
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_STREQ(static_cast<const char*>(b), "");
}

TEST(CString, NullAndEmptyAreTheEmptyText)
{
    CString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_STREQ(fromNull, "");
    EXPECT_EQ(fromNull, CString(""));
    fromNull = "x";
    fromNull.Empty();
    EXPECT_EQ(fromNull.GetLength(), 0);
}

TEST(CString, SelfReferencingAssignmentAndAppend)
{
    CString s("abcdef");
    s = s.GetString() + 2;  // assigning a tail of its own buffer
    EXPECT_EQ(s, "cdef");
    s += s;
    EXPECT_EQ(s, "cdefcdef");
    s = s;
    EXPECT_EQ(s, "cdefcdef");
}

TEST(CString, FormatGrowsToAnyLength)
{
    CString s;
    s.Format("%s at line %d (%zu bytes)", "file.stl", 42, static_cast<size_t>(7));
    EXPECT_EQ(s, "file.stl at line 42 (7 bytes)");
    std::string longText(10000, 'q');
    s.Format("%s", longText.c_str());
    EXPECT_EQ(s.GetLength(), 10000);
    s.AppendFormat("-%05.1f", 2.25);
    EXPECT_EQ(s.Right(6), "-002.2");
}

TEST(CString, ComparisonAndSearch)
{
    CString s("Pelorin.chm");
    EXPECT_LT(CString("a"), CString("b"));
    EXPECT_EQ(s.CompareNoCase("PELORIN.CHM"), 0);
    EXPECT_NE(s, "Pelorin.hlp");
    EXPECT_EQ(s.Find('.'), 7);
    EXPECT_EQ(s.Find("chm"), 8);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.ReverseFind('n'), 6);
    EXPECT_EQ(s.Left(7), "Pelorin");
    EXPECT_EQ(s.Mid(8), "chm");
    EXPECT_EQ(s.Mid(20, 3), "");
    EXPECT_EQ(s.Left(-1), "");
}
