#include "framework/file.h"

namespace {

void ReportFailure(CFileException* error, LONG osError, LPCTSTR fileName)
{
    if (!error) return;
    error->m_lOsError = osError;
    error->m_cause = CFileException::OsErrorToCause(osError);
    error->m_strFileName = fileName;
}

}  // namespace

int CFileException::OsErrorToCause(LONG osError)
{
    switch (osError) {
    case NO_ERROR:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_CANNOT_MAKE:
        return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

CFile::CFile(LPCTSTR fileName, UINT openFlags) { Open(fileName, openFlags); }

CFile::~CFile()
{
    if (m_closeOnDelete) Abort();
}

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    if (m_hFile != INVALID_HANDLE_VALUE) Close();
    m_strFileName.Empty();

    if (!fileName || !*fileName) {
        ReportFailure(error, ERROR_INVALID_NAME, fileName);
        return FALSE;
    }

    DWORD access;
    switch (openFlags & 0x3) {
    case modeRead:
        access = GENERIC_READ;
        break;
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        ReportFailure(error, ERROR_INVALID_PARAMETER, fileName);
        return FALSE;
    }

    DWORD share;
    switch (openFlags & 0x70) {
    case shareCompat:
    case shareExclusive:
        share = 0;
        break;
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default:
        ReportFailure(error, ERROR_INVALID_PARAMETER, fileName);
        return FALSE;
    }

    DWORD creation = OPEN_EXISTING;
    if (openFlags & modeCreate) creation = (openFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, (openFlags & modeNoInherit) ? FALSE : TRUE};
    HANDLE handle = CreateFileW(fileName, access, share, &security, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ReportFailure(error, static_cast<LONG>(GetLastError()), fileName);
        return FALSE;
    }
    m_hFile = handle;
    m_closeOnDelete = true;

    wchar_t fullPath[MAX_PATH];
    DWORD length = GetFullPathNameW(fileName, MAX_PATH, fullPath, nullptr);
    m_strFileName = (length > 0 && length < MAX_PATH) ? CString(fullPath) : CString(fileName);
    return TRUE;
}

BOOL CFile::Close()
{
    BOOL closed = TRUE;
    if (m_hFile != INVALID_HANDLE_VALUE) closed = CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
    return closed;
}

void CFile::Abort()
{
    if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_strFileName.Empty();
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile == INVALID_HANDLE_VALUE || !buffer || count == 0) return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) return 0;
    return read;
}

BOOL CFile::Write(const void* buffer, UINT count)
{
    if (count == 0) return TRUE;
    if (m_hFile == INVALID_HANDLE_VALUE || !buffer) return FALSE;
    const BYTE* bytes = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(m_hFile, bytes, count, &written, nullptr) || written == 0) return FALSE;
        bytes += written;
        count -= written;
    }
    return TRUE;
}

BOOL CFile::Flush()
{
    if (m_hFile == INVALID_HANDLE_VALUE) return FALSE;
    return FlushFileBuffers(m_hFile);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (m_hFile == INVALID_HANDLE_VALUE || from > end) return static_cast<ULONGLONG>(-1);
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, distance, &position, from)) return static_cast<ULONGLONG>(-1);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const
{
    if (m_hFile == INVALID_HANDLE_VALUE) return static_cast<ULONGLONG>(-1);
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) return static_cast<ULONGLONG>(-1);
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (m_hFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hFile, &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}

BOOL CFile::SetLength(ULONGLONG newLength)
{
    if (newLength > static_cast<ULONGLONG>(MAXLONGLONG)) return FALSE;
    if (Seek(static_cast<LONGLONG>(newLength), begin) != newLength) return FALSE;
    return SetEndOfFile(m_hFile);
}

CString CFile::GetFileName() const
{
    int slash = m_strFileName.ReverseFind(L'\\');
    int forward = m_strFileName.ReverseFind(L'/');
    if (forward > slash) slash = forward;
    return m_strFileName.Mid(slash + 1);
}

BOOL CFile::Remove(LPCTSTR fileName) { return fileName && DeleteFileW(fileName); }

BOOL CFile::Rename(LPCTSTR oldName, LPCTSTR newName) { return oldName && newName && MoveFileW(oldName, newName); }
