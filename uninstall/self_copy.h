// A running program cannot delete its own file, so the Uninst.exe that was
// started (by the Apps list, a user or a deployment tool) does not remove
// anything itself. It copies itself into the temporary directory and starts
// the copy, which carries the removal out, and waits: it ends only when the
// copy sends back the removal's exit code, which it then ends with, so that
// whoever started it sees the whole removal done. The copy, once the started
// process has ended, deletes the started program's file and D.
//
// The copy is itself deleted when it ends: the started process opens the
// copy's file for deletion on close before starting it, and the copy
// inherits that handle without ever closing it. When the copy ends, its
// handles are closed, the last handle of the file goes, and the system
// removes the file as soon as nothing maps it any more (the image of the
// ended process is released with it). Nothing of the copy stays behind, and
// nothing needs a restart. Under Wine the file is gone once the copy has
// ended; on Windows this is the long-established way of a program that
// deletes itself.
//
// The exit code travels through an anonymous pipe whose writing end the copy
// inherits: a copy that ends without writing (it crashed, or was ended)
// breaks the pipe, and the started process ends with a failure.
#pragma once

#include <windows.h>

#include <string>

#include "uninstall/copy_command.h"

// An owned kernel handle, closed when the owner goes.
class CKernelHandle {
public:
    explicit CKernelHandle(HANDLE hHandle = nullptr) : m_hHandle(hHandle) {}
    ~CKernelHandle() { Close(); }
    CKernelHandle(const CKernelHandle&) = delete;
    CKernelHandle& operator=(const CKernelHandle&) = delete;

    HANDLE Get() const { return m_hHandle; }
    HANDLE* Receive() { return &m_hHandle; }
    void Close()
    {
        if (m_hHandle && m_hHandle != INVALID_HANDLE_VALUE)
            CloseHandle(m_hHandle);
        m_hHandle = nullptr;
    }

private:
    HANDLE m_hHandle;
};

// The started program's side.
class CCopyLauncher {
public:
    CCopyLauncher() = default;
    CCopyLauncher(const CCopyLauncher&) = delete;
    CCopyLauncher& operator=(const CCopyLauncher&) = delete;

    // Copies strStarted (this program) into the temporary directory and
    // starts the copy with the switches given. FALSE with the platform's
    // error as the last error; nothing is left behind then.
    BOOL Start(const std::string& strStarted, const UninstallOptions& options);
    // Waits for the copy's exit code; a failure when the copy ended without one.
    DWORD WaitForExitCode();

private:
    CKernelHandle m_hResult;  // the pipe's reading end
};

// The copy's side: the handles it inherited from the started process.
class CStartedProcess {
public:
    explicit CStartedProcess(const CopyCommand& command);
    // A copy that reported nothing reports a failure on its way out.
    ~CStartedProcess();
    CStartedProcess(const CStartedProcess&) = delete;
    CStartedProcess& operator=(const CStartedProcess&) = delete;

    // Sends the exit code the started process ends with; only the first counts.
    void ReportExitCode(DWORD dwCode);
    // Returns once the started process has ended (and its file is free).
    void WaitForEnd();

private:
    CKernelHandle m_hResult;   // the pipe's writing end
    CKernelHandle m_hStarted;  // the started process, for waiting
};
