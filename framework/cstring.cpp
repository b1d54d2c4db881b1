#include "framework/cstring.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <cwchar>
#include <vector>

extern HINSTANCE AfxGetResourceHandle();

namespace {

size_t SafeLength(const wchar_t* text) { return text ? wcslen(text) : 0; }

std::wstring AnsiToWide(const char* text, int length)
{
    if (!text || length <= 0) return std::wstring();
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (wideLength <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, &wide[0], wideLength);
    return wide;
}

bool InSet(wchar_t ch, const wchar_t* charSet) { return charSet && ch != 0 && wcschr(charSet, ch) != nullptr; }

// Clamps [first, first + count) into a string of `length` characters.
void ClampRange(int length, int& first, int& count)
{
    if (first < 0) first = 0;
    if (count < 0) count = 0;
    if (first > length) first = length;
    if (count > length - first) count = length - first;
}

// ---- printf-style formatting ------------------------------------------------------------------

enum class ArgSize { Char, Short, Int, Int64, Pointer, LongDouble };

struct ConversionSpec {
    bool leftAlign = false;
    bool plusSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    size_t width = 0;
    int precision = -1;  // -1: none given
    ArgSize size = ArgSize::Int;
    bool wideText = false;    // l or w given: %s and %c take wide text
    bool narrowText = false;  // h given: %s and %c take narrow text
};

void AppendPadded(std::wstring& out, const ConversionSpec& spec, const wchar_t* text, size_t length)
{
    size_t padding = spec.width > length ? spec.width - length : 0;
    if (!spec.leftAlign) out.append(padding, spec.zeroPad ? L'0' : L' ');
    out.append(text, length);
    if (spec.leftAlign) out.append(padding, L' ');
}

void AppendText(std::wstring& out, const ConversionSpec& spec, const wchar_t* text, size_t length)
{
    if (spec.precision >= 0 && static_cast<size_t>(spec.precision) < length) length = spec.precision;
    AppendPadded(out, spec, text, length);
}

void AppendInteger(std::wstring& out, const ConversionSpec& spec, unsigned long long magnitude, bool negative,
                   wchar_t conversion)
{
    unsigned base = 10;
    if (conversion == L'o') base = 8;
    if (conversion == L'x' || conversion == L'X' || conversion == L'p') base = 16;
    const wchar_t* digitChars = conversion == L'x' ? L"0123456789abcdef" : L"0123456789ABCDEF";
    bool isSigned = conversion == L'd' || conversion == L'i';

    wchar_t reversed[72];
    size_t count = 0;
    for (unsigned long long v = magnitude; v != 0; v /= base) reversed[count++] = digitChars[v % base];
    std::wstring digits;
    size_t minDigits = spec.precision >= 0 ? static_cast<size_t>(spec.precision) : 1;
    if (count < minDigits) digits.append(minDigits - count, L'0');
    while (count > 0) digits.push_back(reversed[--count]);

    std::wstring prefix;
    if (isSigned) {
        if (negative) prefix = L"-";
        else if (spec.plusSign) prefix = L"+";
        else if (spec.spaceSign) prefix = L" ";
    }
    if (spec.alternate && base == 8 && (digits.empty() || digits[0] != L'0')) digits.insert(digits.begin(), L'0');
    if (spec.alternate && base == 16 && conversion != L'p' && magnitude != 0) prefix += conversion == L'x' ? L"0x" : L"0X";

    size_t length = prefix.size() + digits.size();
    size_t padding = spec.width > length ? spec.width - length : 0;
    if (spec.leftAlign) {
        out += prefix;
        out += digits;
        out.append(padding, L' ');
    } else if (spec.zeroPad && spec.precision < 0) {
        out += prefix;
        out.append(padding, L'0');
        out += digits;
    } else {
        out.append(padding, L' ');
        out += prefix;
        out += digits;
    }
}

void AppendFloat(std::wstring& out, const ConversionSpec& spec, double value, wchar_t conversion)
{
    char format[16];
    size_t n = 0;
    format[n++] = '%';
    if (spec.leftAlign) format[n++] = '-';
    if (spec.plusSign) format[n++] = '+';
    if (spec.spaceSign) format[n++] = ' ';
    if (spec.alternate) format[n++] = '#';
    if (spec.zeroPad) format[n++] = '0';
    format[n++] = '*';
    format[n++] = '.';
    format[n++] = '*';
    format[n++] = static_cast<char>(conversion);
    format[n] = '\0';

    int width = static_cast<int>(spec.width);
    int precision = spec.precision;  // negative means none, as the C library takes it
    char small[128];
    int written = std::snprintf(small, sizeof small, format, width, precision, value);
    if (written < 0) return;
    const char* text = small;
    std::vector<char> large;
    if (static_cast<size_t>(written) >= sizeof small) {
        large.resize(static_cast<size_t>(written) + 1);
        std::snprintf(large.data(), large.size(), format, width, precision, value);
        text = large.data();
    }
    for (int i = 0; i < written; ++i) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(text[i])));
}

// Parses flags, width, precision and size of one conversion; `p` points after the '%'.
const wchar_t* ParseSpec(const wchar_t* p, ConversionSpec& spec, va_list& args)
{
    for (;; ++p) {
        if (*p == L'-') spec.leftAlign = true;
        else if (*p == L'+') spec.plusSign = true;
        else if (*p == L' ') spec.spaceSign = true;
        else if (*p == L'#') spec.alternate = true;
        else if (*p == L'0') spec.zeroPad = true;
        else break;
    }
    if (*p == L'*') {
        int width = va_arg(args, int);
        if (width < 0) {
            spec.leftAlign = true;
            width = -width;
        }
        spec.width = static_cast<size_t>(width);
        ++p;
    } else {
        while (*p >= L'0' && *p <= L'9') spec.width = spec.width * 10 + (*p++ - L'0');
    }
    if (*p == L'.') {
        ++p;
        spec.precision = 0;
        if (*p == L'*') {
            int precision = va_arg(args, int);
            spec.precision = precision < 0 ? -1 : precision;
            ++p;
        } else {
            while (*p >= L'0' && *p <= L'9') spec.precision = spec.precision * 10 + (*p++ - L'0');
        }
    }
    if (p[0] == L'h' && p[1] == L'h') {
        spec.size = ArgSize::Char;
        p += 2;
    } else if (p[0] == L'h') {
        spec.size = ArgSize::Short;
        spec.narrowText = true;
        ++p;
    } else if (p[0] == L'l' && p[1] == L'l') {
        spec.size = ArgSize::Int64;
        p += 2;
    } else if (p[0] == L'l' || p[0] == L'w') {
        spec.wideText = true;  // long is 32 bits here: the size stays Int
        ++p;
    } else if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
        spec.size = ArgSize::Int64;
        p += 3;
    } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
        p += 3;
    } else if (p[0] == L'I' || p[0] == L'z' || p[0] == L't' || p[0] == L'j') {
        spec.size = ArgSize::Pointer;
        ++p;
    } else if (p[0] == L'L') {
        spec.size = ArgSize::LongDouble;
        ++p;
    }
    return p;
}

void AppendNarrowText(std::wstring& out, const ConversionSpec& spec, const char* text)
{
    if (!text) {
        AppendText(out, spec, L"(null)", 6);
        return;
    }
    std::wstring wide = AnsiToWide(text, static_cast<int>(strlen(text)));
    AppendText(out, spec, wide.data(), wide.size());
}

void FormatInto(std::wstring& out, const wchar_t* format, va_list args)
{
    if (!format) return;
    const wchar_t* p = format;
    while (*p) {
        if (*p != L'%') {
            const wchar_t* literal = p;
            while (*p && *p != L'%') ++p;
            out.append(literal, p - literal);
            continue;
        }
        const wchar_t* start = p++;
        if (*p == L'%') {
            out.push_back(L'%');
            ++p;
            continue;
        }
        ConversionSpec spec;
        p = ParseSpec(p, spec, args);
        wchar_t conversion = *p;
        if (conversion == L'\0') {
            out.append(start, p - start);  // a lone '%' at the end stays as written
            break;
        }
        ++p;
        switch (conversion) {
        case L'd':
        case L'i': {
            long long value;
            if (spec.size == ArgSize::Int64 || spec.size == ArgSize::Pointer) value = va_arg(args, long long);
            else value = va_arg(args, int);
            if (spec.size == ArgSize::Char) value = static_cast<signed char>(value);
            if (spec.size == ArgSize::Short) value = static_cast<short>(value);
            bool negative = value < 0;
            unsigned long long magnitude =
                negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
            AppendInteger(out, spec, magnitude, negative, conversion);
            break;
        }
        case L'u':
        case L'o':
        case L'x':
        case L'X': {
            unsigned long long value;
            if (spec.size == ArgSize::Int64 || spec.size == ArgSize::Pointer) value = va_arg(args, unsigned long long);
            else value = va_arg(args, unsigned int);
            if (spec.size == ArgSize::Char) value = static_cast<unsigned char>(value);
            if (spec.size == ArgSize::Short) value = static_cast<unsigned short>(value);
            AppendInteger(out, spec, value, false, conversion);
            break;
        }
        case L'p': {
            ConversionSpec pointerSpec = spec;
            pointerSpec.precision = static_cast<int>(sizeof(void*) * 2);
            AppendInteger(out, pointerSpec, reinterpret_cast<uintptr_t>(va_arg(args, void*)), false, L'p');
            break;
        }
        case L'c':
        case L'C': {
            int value = va_arg(args, int);
            bool narrow = spec.narrowText || (conversion == L'C' && !spec.wideText);
            if (narrow) {
                char ch = static_cast<char>(value);
                std::wstring wide = AnsiToWide(&ch, 1);
                spec.precision = -1;
                AppendPadded(out, spec, wide.data(), wide.size());
            } else {
                wchar_t ch = static_cast<wchar_t>(value);
                spec.precision = -1;
                AppendPadded(out, spec, &ch, 1);
            }
            break;
        }
        case L's':
        case L'S': {
            bool narrow = spec.narrowText || (conversion == L'S' && !spec.wideText);
            if (narrow) {
                AppendNarrowText(out, spec, va_arg(args, const char*));
            } else {
                const wchar_t* text = va_arg(args, const wchar_t*);
                if (!text) text = L"(null)";
                AppendText(out, spec, text, wcslen(text));
            }
            break;
        }
        case L'e':
        case L'E':
        case L'f':
        case L'F':
        case L'g':
        case L'G':
        case L'a':
        case L'A': {
            double value = spec.size == ArgSize::LongDouble ? static_cast<double>(va_arg(args, long double))
                                                            : va_arg(args, double);
            AppendFloat(out, spec, value, conversion);
            break;
        }
        case L'n':
            (void)va_arg(args, void*);  // never write through a caller's pointer
            break;
        default:
            out.append(start, p - start);  // unknown conversion: shown as written, no argument used
            break;
        }
    }
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

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength()) return;
    m_str[static_cast<size_t>(index)] = ch;
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

void CString::Append(const wchar_t* text, int length)
{
    if (!text || length <= 0) return;
    size_t available = wcsnlen(text, static_cast<size_t>(length));
    m_str.append(text, available);
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

void CString::AppendFormat(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    // Formatted into a fresh string, so an argument may be this string's own text.
    std::wstring out;
    va_list copy;
    va_copy(copy, args);
    FormatInto(out, format, copy);
    va_end(copy);
    m_str.swap(out);
}

void CString::AppendFormatV(const wchar_t* format, va_list args)
{
    std::wstring out;
    va_list copy;
    va_copy(copy, args);
    FormatInto(out, format, copy);
    va_end(copy);
    m_str += out;
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

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength()) return -1;
    size_t found = m_str.find(ch, static_cast<size_t>(start));
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
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

int CString::FindOneOf(const wchar_t* charSet) const
{
    if (!charSet || !*charSet) return -1;
    size_t found = m_str.find_first_of(charSet);
    return found == std::wstring::npos ? -1 : static_cast<int>(found);
}

CString CString::SpanIncluding(const wchar_t* charSet) const
{
    size_t n = 0;
    while (n < m_str.size() && InSet(m_str[n], charSet)) ++n;
    return CString(m_str.substr(0, n));
}

CString CString::SpanExcluding(const wchar_t* charSet) const
{
    size_t n = 0;
    while (n < m_str.size() && !InSet(m_str[n], charSet)) ++n;
    return CString(m_str.substr(0, n));
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

CString& CString::TrimLeft(wchar_t ch)
{
    TrimLeftWhile(m_str, [ch](wchar_t c) { return c == ch; });
    return *this;
}

CString& CString::TrimLeft(const wchar_t* charSet)
{
    TrimLeftWhile(m_str, [charSet](wchar_t c) { return InSet(c, charSet); });
    return *this;
}

CString& CString::TrimRight()
{
    TrimRightWhile(m_str, IsSpace);
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    TrimRightWhile(m_str, [ch](wchar_t c) { return c == ch; });
    return *this;
}

CString& CString::TrimRight(const wchar_t* charSet)
{
    TrimRightWhile(m_str, [charSet](wchar_t c) { return InSet(c, charSet); });
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(const wchar_t* charSet) { return TrimRight(charSet).TrimLeft(charSet); }

// ---- editing -----------------------------------------------------------------------------------

CString& CString::MakeLower()
{
    if (!m_str.empty()) CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty()) CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeReverse()
{
    m_str.assign(m_str.rbegin(), m_str.rend());
    return *this;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (wchar_t& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    size_t oldLength = SafeLength(oldText);
    if (oldLength == 0) return 0;
    std::wstring replacement = newText ? newText : L"";  // copied: it may point into this string
    std::wstring pattern(oldText, oldLength);
    std::wstring result;
    int count = 0;
    size_t from = 0;
    for (size_t found; (found = m_str.find(pattern, from)) != std::wstring::npos; from = found + oldLength) {
        result.append(m_str, from, found - from);
        result += replacement;
        ++count;
    }
    if (count == 0) return 0;
    result.append(m_str, from, std::wstring::npos);
    m_str.swap(result);
    return count;
}

int CString::Remove(wchar_t ch)
{
    size_t before = m_str.size();
    std::wstring kept;
    kept.reserve(before);
    for (wchar_t c : m_str) {
        if (c != ch) kept.push_back(c);
    }
    m_str.swap(kept);
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, wchar_t ch)
{
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    m_str.insert(static_cast<size_t>(index), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text)
{
    if (index < 0) index = 0;
    if (index > GetLength()) index = GetLength();
    if (text) m_str.insert(static_cast<size_t>(index), std::wstring(text));  // copy: text may alias
    return GetLength();
}

int CString::Delete(int index, int count)
{
    ClampRange(GetLength(), index, count);
    m_str.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString CString::Tokenize(const wchar_t* delimiters, int& start) const
{
    int length = GetLength();
    if (start < 0 || start >= length) {
        start = -1;
        return CString();
    }
    if (!delimiters || !*delimiters) {
        // No delimiters: the rest is one token, and the next call ends the loop.
        CString rest = Mid(start);
        start = length;
        return rest;
    }
    size_t tokenStart = m_str.find_first_not_of(delimiters, static_cast<size_t>(start));
    if (tokenStart == std::wstring::npos) {
        start = -1;
        return CString();
    }
    size_t tokenEnd = m_str.find_first_of(delimiters, tokenStart);
    if (tokenEnd == std::wstring::npos) tokenEnd = m_str.size();
    start = static_cast<int>(tokenEnd) + 1;
    return CString(m_str.substr(tokenStart, tokenEnd - tokenStart));
}

// ---- buffers -----------------------------------------------------------------------------------

LPTSTR CString::GetBuffer(int minLength)
{
    if (minLength > GetLength()) m_str.resize(static_cast<size_t>(minLength), L'\0');
    return &m_str[0];  // the terminator at [size()] is writable as NUL
}

LPTSTR CString::GetBufferSetLength(int length)
{
    m_str.resize(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    return &m_str[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0) newLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    if (newLength > GetLength()) newLength = GetLength();
    m_str.resize(static_cast<size_t>(newLength));
}
