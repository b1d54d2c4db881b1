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

CFile::~CFile() { Close(); }

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* error)
{
    Close();

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
    return TRUE;
}

BOOL CFile::Close()
{
    BOOL closed = TRUE;
    if (m_hFile != INVALID_HANDLE_VALUE) closed = CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    return closed;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_hFile == INVALID_HANDLE_VALUE || !buffer || count == 0) return 0;
    DWORD read = 0;
    if (!ReadFile(m_hFile, buffer, count, &read, nullptr)) return 0;
    return read;
}

ULONGLONG CFile::GetLength() const
{
    LARGE_INTEGER size;
    if (m_hFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hFile, &size)) return 0;
    return static_cast<ULONGLONG>(size.QuadPart);
}
