// TThread: the class library's thread. A subclass overrides Execute, which
// runs on a thread made by CreateThread; Resume and Suspend count as Windows
// thread suspensions do (a thread suspended n times runs again after n
// resumes). Terminate only sets the stop request, which Execute reads
// through Terminated() between its steps; reading it is a suspension safe
// point, so a suspended thread stops there at the latest.
//
// Style: the class library's properties are methods here. Reading a
// property is a call without arguments (Suspended(), Handle()), setting it
// is Set...() (SetFreeOnTerminate(), SetReturnValue()).
//
// Created running (CreateSuspended false), the thread starts as the TThread
// constructor ends, before a subclass's constructor has run; a subclass
// whose Execute needs its own members set up creates the thread suspended
// and resumes it afterwards, as the system's threads do.
//
// The destructor ends the thread the class library's way: it sets the stop
// request, resumes the thread as often as it is suspended and waits until
// Execute has returned. A subclass's destructor runs before that, so one
// that frees what Execute uses ends the thread first with
// TerminateAndWait(). Nothing throws.
#pragma once

#include <atomic>

#include "windef.h"

class TThread {
public:
    explicit TThread(bool CreateSuspended);
    virtual ~TThread();
    TThread(const TThread &) = delete;
    TThread &operator=(const TThread &) = delete;

    // Takes back one suspension.
    void Resume();
    // Adds one suspension; the thread stops at its next safe point (at
    // once when it suspends itself).
    void Suspend();
    // Sets the stop request.
    void Terminate();
    // Waits until Execute has returned and gives the thread's exit code,
    // ReturnValue(). From the thread itself it does not wait and gives
    // STILL_ACTIVE.
    DWORD WaitFor();

    bool Suspended() const { return FSuspended.load(); }
    void SetSuspended(bool suspended);
    bool FreeOnTerminate() const { return FFreeOnTerminate.load(); }
    // When set, the object deletes itself on its thread once Execute returns.
    void SetFreeOnTerminate(bool freeOnTerminate) { FFreeOnTerminate = freeOnTerminate; }
    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadID; }

protected:
    virtual void Execute() = 0;

    bool Terminated() const;
    // The destructor's ending: stop request, every suspension taken back,
    // wait for Execute to return. Does nothing more once the thread has
    // ended, nor on the thread itself.
    void TerminateAndWait();
    int ReturnValue() const { return FReturnValue; }
    void SetReturnValue(int value) { FReturnValue = value; }

private:
    static DWORD WINAPI ThreadProc(LPVOID self);

    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FSuspended{false};
    std::atomic<bool> FFreeOnTerminate{false};
    std::atomic<int> FReturnValue{0};
};
