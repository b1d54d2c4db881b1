#include "framework/cstring.h"
#include "framework/app.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring W(const CString& s) { return std::wstring(s.GetString(), static_cast<size_t>(s.GetLength())); }

}  // namespace

// ---- construction and operators ------------------------------------------------------------

TEST(CStringBasics, ConstructsFromWideNarrowAndRepeatedCharacters)
{
    EXPECT_EQ(W(CString(L"水印")), L"水印");
    EXPECT_EQ(W(CString("plain ascii")), L"plain ascii");
    EXPECT_EQ(W(CString(L'x', 3)), L"xxx");
    EXPECT_EQ(W(CString(L'x', -2)), L"");
    EXPECT_EQ(W(CString(L"abcdef", 3)), L"abc");
    EXPECT_EQ(W(CString(L"abc", -1)), L"");
    EXPECT_TRUE(CString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
}

TEST(CStringBasics, ConcatenatesInEveryCombination)
{
    CString a(L"水");
    CString b(L"印");
    EXPECT_EQ(W(a + b), L"水印");
    EXPECT_EQ(W(a + L"x"), L"水x");
    EXPECT_EQ(W(L"x" + a), L"x水");
    EXPECT_EQ(W(a + L'!'), L"水!");
    EXPECT_EQ(W(L'!' + a), L"!水");
    a += b;
    a += L"z";
    a += L'9';
    EXPECT_EQ(W(a), L"水印z9");
    a += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(a.GetLength(), 4);
}

TEST(CStringBasics, ComparesOrdinallyAndWithoutCase)
{
    CString s(L"Apple");
    EXPECT_TRUE(s == L"Apple");
    EXPECT_TRUE(L"Apple" == s);
    EXPECT_TRUE(s != L"apple");
    EXPECT_TRUE(s == CString(L"Apple"));
    EXPECT_TRUE(CString(L"B") < CString(L"a"));  // ordinal: upper case sorts first
    EXPECT_TRUE(L"A" < s);
    EXPECT_LT(s.Compare(L"Apples"), 0);
    EXPECT_GT(s.Compare(L"Ap"), 0);
    EXPECT_EQ(s.CompareNoCase(L"aPPLE"), 0);
    EXPECT_LT(CString(L"a").CompareNoCase(L"B"), 0);
    EXPECT_EQ(CString(L"ÉCOLE").CompareNoCase(L"école"), 0);
    EXPECT_EQ(CString().Compare(nullptr), 0);
}

// ---- formatting ----------------------------------------------------------------------------

TEST(CStringFormat, MixesChineseTextWithNumbers)
{
    CString s;
    s.Format(L"%s%d: %s", L"水印", 3, L"文字");
    EXPECT_EQ(W(s), L"水印3: 文字");
    s.Format(L"第%d帧/共%u帧 %s", 12, 40u, L"已删除");
    EXPECT_EQ(W(s), L"第12帧/共40帧 已删除");
    CString caption(L"水印");
    s.Format(L"[%s]", static_cast<LPCTSTR>(caption));
    EXPECT_EQ(W(s), L"[水印]");
}

TEST(CStringFormat, IntegerConversionsAndFlags)
{
    CString s;
    s.Format(L"%d|%i|%u|%x|%X|%02X|%o", -42, 7, 4000000000u, 255, 255, 10, 8);
    EXPECT_EQ(W(s), L"-42|7|4000000000|ff|FF|0A|10");
    s.Format(L"%5d|%-5d|%05d|%+d|% d|%#x|%#o|%.3d", 42, 42, -42, 5, 5, 255, 8, 7);
    EXPECT_EQ(W(s), L"   42|42   |-0042|+5| 5|0xff|010|007");
    s.Format(L"%-06d|%06x", 7, 0xab);  // '-' turns zero padding off
    EXPECT_EQ(W(s), L"7     |0000ab");
    s.Format(L"%*d|%-*d|%.*d", 4, 1, 3, 2, 3, 9);
    EXPECT_EQ(W(s), L"   1|2  |009");
    s.Format(L"%hd|%hu", 70000, 70000);
    EXPECT_EQ(W(s), L"4464|4464");
    s.Format(L"#%02X%02X%02X", 0x12, 0xAB, 0x05);
    EXPECT_EQ(W(s), L"#12AB05");
}

TEST(CStringFormat, SixtyFourBitIntegers)
{
    CString s;
    s.Format(L"%I64d|%lld|%I64u|%llu|%I64x", -9000000000LL, 9000000000LL, 18446744073709551615ULL,
             18446744073709551615ULL, 0x123456789ABCULL);
    EXPECT_EQ(W(s), L"-9000000000|9000000000|18446744073709551615|18446744073709551615|123456789abc");
    s.Format(L"%lld|%Iu|%d", LLONG_MIN, static_cast<size_t>(5000000000ULL), 1);
    EXPECT_EQ(W(s), L"-9223372036854775808|5000000000|1");
    // The argument after a 64-bit one must still be read correctly.
    s.Format(L"%I64d %s %d", 1LL << 40, L"x", 3);
    EXPECT_EQ(W(s), L"1099511627776 x 3");
}

TEST(CStringFormat, FloatingPoint)
{
    CString s;
    s.Format(L"%.1f KB|%.2f|%f|%6.1f|%-6.1f", 1234.56, 0.005, 1.5, 3.14159, 2.0);
    EXPECT_EQ(W(s), L"1234.6 KB|0.01|1.500000|   3.1|2.0   ");
    s.Format(L"%.0f%%", 99.6);
    EXPECT_EQ(W(s), L"100%");
}

TEST(CStringFormat, TextAndCharacterConversions)
{
    CString s;
    s.Format(L"%s|%S|%hs|%ls|%ws", L"宽", "narrow", "hs", L"ls", L"ws");
    EXPECT_EQ(W(s), L"宽|narrow|hs|ls|ws");
    s.Format(L"%c%C%hc%lc", L'水', 'A', 'b', L'印');
    EXPECT_EQ(W(s), std::wstring(L"水Ab印"));
    s.Format(L"[%5s][%-5s][%.2s][%s]", L"ab", L"ab", L"abcdef", static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(W(s), L"[   ab][ab   ][ab][(null)]");
}

TEST(CStringFormat, OutputHasNoLengthLimit)
{
    std::wstring longText(10000, L'字');
    CString s;
    s.Format(L"<%s>%d", longText.c_str(), 7);
    ASSERT_EQ(s.GetLength(), 10003);
    EXPECT_EQ(W(s), L"<" + longText + L">7");

    s.Format(L"%10000d", 5);
    ASSERT_EQ(s.GetLength(), 10000);
    EXPECT_EQ(s[9999], L'5');
    EXPECT_EQ(s[0], L' ');

    s.Format(L"%.300f", 1.0);
    EXPECT_EQ(s.GetLength(), 302);

    // Around the length where the text stops fitting the first buffer.
    for (int width = 509; width <= 514; ++width) {
        s.Format(L"%*d", width, 7);
        ASSERT_EQ(s.GetLength(), width);
        EXPECT_EQ(s[width - 1], L'7');
        EXPECT_EQ(s[width - 2], L' ');
    }
}

TEST(CStringFormat, NullFormatGivesAnEmptyString)
{
    CString s(L"old");
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

// ---- substrings and searches on short and empty strings -------------------------------------

TEST(CStringRanges, MidLeftRightClampTheirArguments)
{
    CString s(L"abc");
    EXPECT_EQ(W(s.Mid(10)), L"");
    EXPECT_EQ(W(s.Mid(3)), L"");
    EXPECT_EQ(W(s.Mid(-5)), L"abc");
    EXPECT_EQ(W(s.Mid(-5, 2)), L"ab");
    EXPECT_EQ(W(s.Mid(1, -1)), L"");
    EXPECT_EQ(W(s.Mid(1, 100)), L"bc");
    EXPECT_EQ(W(s.Mid(INT_MAX, INT_MAX)), L"");
    EXPECT_EQ(W(s.Mid(2, INT_MAX)), L"c");
    EXPECT_EQ(W(s.Left(-1)), L"");
    EXPECT_EQ(W(s.Left(2)), L"ab");
    EXPECT_EQ(W(s.Left(INT_MAX)), L"abc");
    EXPECT_EQ(W(s.Right(-1)), L"");
    EXPECT_EQ(W(s.Right(INT_MIN)), L"");
    EXPECT_EQ(W(s.Right(2)), L"bc");
    EXPECT_EQ(W(s.Right(100)), L"abc");

    CString empty;
    EXPECT_EQ(W(empty.Mid(0)), L"");
    EXPECT_EQ(W(empty.Mid(1, 1)), L"");
    EXPECT_EQ(W(empty.Left(5)), L"");
    EXPECT_EQ(W(empty.Right(5)), L"");
}

// ---- editing -------------------------------------------------------------------------------

// ---- buffers -------------------------------------------------------------------------------

// ---- resources -----------------------------------------------------------------------------

TEST(CStringRanges, FindGetAtTrimAndBuffersStayInBounds)
{
    CString s(L"录制 gif 录制");
    EXPECT_EQ(0, s.Find(L"录制"));
    EXPECT_EQ(7, s.Find(L"录制", 1));
    EXPECT_EQ(-1, s.Find(L"录制", 8));
    EXPECT_EQ(-1, s.Find(L"x", -1));
    EXPECT_EQ(-1, s.Find(L"", s.GetLength() + 1));
    EXPECT_EQ(-1, s.Find(nullptr));
    EXPECT_EQ(L'g', s.GetAt(3));
    EXPECT_EQ(L'\0', s.GetAt(-1));
    EXPECT_EQ(L'\0', s[s.GetLength()]);

    CString padded(L" \t 水印\r\n ");
    EXPECT_EQ(W(padded.Trim()), L"水印");
    CString blank(L" \t\n");
    EXPECT_TRUE(blank.Trim().IsEmpty());

    CString buffer;
    lstrcpyW(buffer.GetBuffer(10), L"abc");
    buffer.ReleaseBuffer();  // up to the first NUL
    EXPECT_EQ(W(buffer), L"abc");
    buffer.GetBuffer(8)[5] = L'z';
    buffer.ReleaseBuffer(100);  // clamped to the buffer
    EXPECT_EQ(8, buffer.GetLength());
    buffer.ReleaseBuffer(2);
    EXPECT_EQ(W(buffer), L"ab");
}

TEST(CStringResource, LoadsTheWholeStringFromAModule)
{
    HMODULE module = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(module, nullptr);
    UINT id = 0;
    const wchar_t* text = nullptr;
    int length = 0;
    for (UINT candidate = 1; candidate < 0x10000 && length == 0; ++candidate) {
        length = LoadStringW(module, candidate, reinterpret_cast<LPWSTR>(&text), 0);
        id = candidate;
    }
    ASSERT_GT(length, 0) << "no string resource in comctl32";

    CString s;
    EXPECT_TRUE(s.LoadString(module, id));
    EXPECT_EQ(W(s), std::wstring(text, static_cast<size_t>(length)));

    s = L"old";
    EXPECT_FALSE(s.LoadString(module, 0xFFFF));
    EXPECT_TRUE(s.IsEmpty());

    // By id alone, from the class library's resource module.
    AfxSetResourceHandle(module);
    CString byId;
    EXPECT_TRUE(byId.LoadString(id));
    EXPECT_EQ(W(byId), std::wstring(text, static_cast<size_t>(length)));
    EXPECT_EQ(W(CString(MAKEINTRESOURCEW(id))), W(byId));
    AfxSetResourceHandle(nullptr);
    FreeLibrary(module);
}
