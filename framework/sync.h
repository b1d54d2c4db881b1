// CCriticalSection and CSingleLock: a re-entrant lock over CRITICAL_SECTION, and a scope guard
// that releases it on every way out.
#pragma once

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { DeleteCriticalSection(&m_sect); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    // The same thread may lock again; each Lock needs its own Unlock. The timeout is not used:
    // a critical section waits until it is free.
    BOOL Lock()
    {
        EnterCriticalSection(&m_sect);
        return TRUE;
    }
    BOOL Lock(DWORD timeout)
    {
        (void)timeout;
        return Lock();
    }
    BOOL Unlock()
    {
        LeaveCriticalSection(&m_sect);
        return TRUE;
    }

    operator CRITICAL_SECTION*() { return &m_sect; }

    CRITICAL_SECTION m_sect;
};

class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection* lock, BOOL initialLock = FALSE) : m_lock(lock)
    {
        if (initialLock) Lock();
    }
    ~CSingleLock() { Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    // Locking twice through one guard takes the lock once.
    BOOL Lock(DWORD timeout = INFINITE)
    {
        if (!m_lock) return FALSE;
        if (!m_locked) m_locked = m_lock->Lock(timeout);
        return m_locked;
    }
    BOOL Unlock()
    {
        if (m_lock && m_locked) {
            m_lock->Unlock();
            m_locked = FALSE;
        }
        return TRUE;
    }

private:
    CCriticalSection* m_lock;
    BOOL m_locked = FALSE;
};
