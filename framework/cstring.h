// CString: a UTF-16 string value with the members the program's code expects of the class
// library's string. Indexes and counts out of range are clamped rather than trusted, so a bad
// argument yields an empty or shorter result instead of a crash.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    ~CString() = default;

    // A null pointer gives an empty string; a resource id made with MAKEINTRESOURCE loads that
    // string from the resource module.
    CString(const wchar_t* text);
    CString(const wchar_t* text, int length);
    // Converted from the ANSI code page.
    CString(const char* text);
    explicit CString(wchar_t ch, int repeat = 1);
    explicit CString(const std::wstring& text) : m_str(text) {}

    CString& operator=(const wchar_t* text);
    CString& operator=(const char* text);
    CString& operator=(wchar_t ch);

    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // Out of range: GetAt gives 0.
    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }

    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    // Ordinal comparisons: < 0, 0 or > 0. CompareNoCase folds case over all of Unicode.
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    // printf-style formatting by the C runtime, with its wide conventions: %s and %c take wide
    // text, %S, %hs, %C and %hc narrow text; %I64d and %lld take 64-bit integers. The result has
    // no length limit. The format is always the program's own text, never the user's.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // Loads a string resource from the class library's resource module (or from `module`).
    // Returns FALSE and leaves the string empty when there is no such string.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);

    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;

    // Searches give -1 when nothing is found or the start is out of range.
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;

    // Remove white space.
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();

    CString& MakeLower();

    // Writable buffer of at least `minLength` characters plus the terminator. Until
    // ReleaseBuffer, the string's length is that of the buffer.
    LPTSTR GetBuffer(int minLength = 0);
    // newLength -1: the text up to the first NUL. Otherwise clamped to the buffer.
    void ReleaseBuffer(int newLength = -1);
private:
    void AssignAnsi(const char* text);
    std::wstring m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Str() == b.Str(); }
inline bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
inline bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const wchar_t* a, const CString& b) { return !(a == b); }
inline bool operator<(const CString& a, const CString& b) { return a.Str() < b.Str(); }
inline bool operator<(const CString& a, const wchar_t* b) { return a.Compare(b) < 0; }
inline bool operator<(const wchar_t* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Str() > b.Str(); }
inline bool operator>(const CString& a, const wchar_t* b) { return a.Compare(b) > 0; }
inline bool operator>(const wchar_t* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Str() <= b.Str(); }
inline bool operator<=(const CString& a, const wchar_t* b) { return a.Compare(b) <= 0; }
inline bool operator<=(const wchar_t* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Str() >= b.Str(); }
inline bool operator>=(const CString& a, const wchar_t* b) { return a.Compare(b) >= 0; }
inline bool operator>=(const wchar_t* a, const CString& b) { return b.Compare(a) <= 0; }
