// CFile: a file handle with the class library's open flags. Failures are reported through return
// values (and, for Open, an optional CFileException record) rather than by throwing.
#pragma once

#include <windows.h>

#include "framework/cstring.h"

// Why an operation on a file failed.
class CFileException {
public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    CFileException() = default;
    CFileException(int cause, LONG osError, const CString& fileName)
        : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
    {
    }

    static int OsErrorToCause(LONG osError);

    int m_cause = none;
    LONG m_lOsError = 0;
    CString m_strFileName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,  // meaningful only to text files; ignored here
        typeBinary = 0x8000,
    };

    CFile() = default;
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Closes any file already open first. On failure returns FALSE and fills `error` when given.
    BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // FALSE when the handle did not close cleanly.
    BOOL Close();

    // Returns the number of bytes read: fewer than asked at the end of the file, 0 on failure.
    UINT Read(void* buffer, UINT count);
    // 0 when the file is not open.
    ULONGLONG GetLength() const;

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
};
