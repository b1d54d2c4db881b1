#include "framework/cstring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <cwchar>
#include <iterator>
#include <vector>

extern HINSTANCE AfxGetResourceHandle();

namespace {

std::wstring AnsiToWide(const char* text, int length)
{
    if (!text || length <= 0) return std::wstring();
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (wideLength <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], wideLength);
    return wide;
}

// Clamps [first, first + count) into a string of `length` characters.
void ClampRange(int length, int& first, int& count)
{
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first > length) first = length;
    if (count > length - first) count = length - first;
}

// printf-style text from the C runtime's wide formatter, whose %s and %c take wide text in wide
// functions. Short text fits the first buffer; longer text is measured and formatted once more.
// A format the runtime rejects gives nothing.
std::wstring FormatText(const wchar_t* format, va_list args)
{
    if (!format) return std::wstring();
    wchar_t small[512];
    va_list attempt;
    va_copy(attempt, args);
    // The runtime answers -1, or the full count without a terminator, when the text does not fit.
    int length = _vsnwprintf(small, std::size(small), format, attempt);
    va_end(attempt);
    if (length >= 0 && static_cast<size_t>(length) < std::size(small))
        return std::wstring(small, static_cast<size_t>(length));
    va_copy(attempt, args);
    length = _vscwprintf(format, attempt);
    va_end(attempt);
    if (length <= 0) return std::wstring();
    std::vector<wchar_t> large(static_cast<size_t>(length) + 1);
    va_copy(attempt, args);
    length = _vsnwprintf(large.data(), large.size(), format, attempt);
    va_end(attempt);
    if (length <= 0) return std::wstring();
    return std::wstring(large.data(), std::min(static_cast<size_t>(length), large.size() - 1));
}

}  // namespace

// ---- construction and assignment ---------------------------------------------------------------

CString::CString(const wchar_t* text)
{
    if (text && IS_INTRESOURCE(text)) {
        LoadString(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
        return;
    }
    if (text) m_str = text;
}

CString::CString(const wchar_t* text, int length)
{
    if (text && length > 0) m_str.assign(text, static_cast<size_t>(length));
}

CString::CString(const char* text) { AssignAnsi(text); }

CString::CString(wchar_t ch, int repeat)
{
    if (repeat > 0) m_str.assign(static_cast<size_t>(repeat), ch);
}

CString& CString::operator=(const wchar_t* text)
{
    if (text) m_str = text;  // std::wstring handles self-assignment from its own buffer
    else m_str.clear();
    return *this;
}

CString& CString::operator=(const char* text)
{
    AssignAnsi(text);
    return *this;
}

CString& CString::operator=(wchar_t ch)
{
    m_str.assign(1, ch);
    return *this;
}

void CString::AssignAnsi(const char* text)
{
    m_str = text ? AnsiToWide(text, static_cast<int>(strlen(text))) : std::wstring();
}

// ---- access ------------------------------------------------------------------------------------

wchar_t CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength()) return L'\0';
    return m_str[static_cast<size_t>(index)];
}

CString& CString::operator+=(const CString& text)
{
    m_str += text.m_str;
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    if (text) m_str += text;
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    m_str.push_back(ch);
    return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a.Str() + b.Str()); }

CString operator+(const CString& a, const wchar_t* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const wchar_t* a, const CString& b)
{
    CString result(a ? std::wstring(a) : std::wstring());
    result += b;
    return result;
}

CString operator+(const CString& a, wchar_t b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(wchar_t a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

int CString::Compare(const wchar_t* text) const
{
    int result = m_str.compare(text ? text : L"");
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

int CString::CompareNoCase(const wchar_t* text) const
{
    if (!text) text = L"";
    int result = CompareStringOrdinal(m_str.c_str(), GetLength(), text, static_cast<int>(wcslen(text)), TRUE);
    return result == 0 ? Compare(text) : result - CSTR_EQUAL;
}

// ---- formatting and resources ------------------------------------------------------------------

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    // Formatted into a fresh string, so an argument may be this string's own text.
    m_str = FormatText(format, args);
}

BOOL CString::LoadString(UINT id) { return LoadString(AfxGetResourceHandle(), id); }

BOOL CString::LoadString(HINSTANCE module, UINT id)
{
    if (!module) module = GetModuleHandleW(nullptr);
    const wchar_t* resource = nullptr;
    // A zero buffer size asks for a pointer to the resource text itself, which has no length limit.
    int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || !resource) {
        m_str.clear();
        return FALSE;
    }
    m_str.assign(resource, static_cast<size_t>(length));
    return TRUE;
}

// ---- substrings and searches -------------------------------------------------------------------

CString CString::Left(int count) const
{
    int first = 0;
    ClampRange(GetLength(), first, count);
    return CString(m_str.substr(0, static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    int length = GetLength();
    if (count < 0) count = 0;
    if (count > length) count = length;
    return CString(m_str.substr(static_cast<size_t>(length - count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    ClampRange(GetLength(), first, count);
    return CString(m_str.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength()) return -1;
    size_t found = m_str.find(sub, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t found = m_str.rfind(ch);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

// ---- trimming ----------------------------------------------------------------------------------

namespace {

template <class Predicate>
void TrimLeftWhile(std::wstring& s, Predicate drop)
{
    size_t n = 0;
    while (n < s.size() && drop(s[n])) ++n;
    s.erase(0, n);
}

template <class Predicate>
void TrimRightWhile(std::wstring& s, Predicate drop)
{
    size_t n = s.size();
    while (n > 0 && drop(s[n - 1])) --n;
    s.erase(n);
}

bool IsSpace(wchar_t ch) { return iswspace(ch) != 0; }

}  // namespace

CString& CString::TrimLeft()
{
    TrimLeftWhile(m_str, IsSpace);
    return *this;
}

CString& CString::TrimRight()
{
    TrimRightWhile(m_str, IsSpace);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

// ---- editing -----------------------------------------------------------------------------------

CString& CString::MakeLower()
{
    if (!m_str.empty()) CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

// ---- buffers -----------------------------------------------------------------------------------

LPTSTR CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength), L'\0');
    return &m_str[0];  // the terminator at [size()] is writable as NUL
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    if (newLength > GetLength()) newLength = GetLength();
    m_str.resize(static_cast<size_t>(newLength));
}
