// The class library's exceptions, thrown and caught by value.
#pragma once

#include <exception>

#include "String.h"

class CException : public std::exception {
public:
    explicit CException(CString message = CString()) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.GetString(); }
    CString GetErrorMessage() const { return m_message; }

private:
    CString m_message;
};

class CFileException : public CException {
public:
    enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
                 invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation,
                 lockViolation, diskFull, endOfFile };

    CFileException(int cause = none, int osError = 0, CString fileName = CString());
    int m_cause;
    int m_lOsError;
    CString m_strFileName;

    static int CauseFromErrno(int osError);
};

class CArchiveException : public CException {
public:
    enum Cause { none, genericException, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };

    explicit CArchiveException(int cause = none, CString fileName = CString());
    int m_cause;
    CString m_strFileName;
};
