// TThread: a thread of its own that runs Execute. It starts suspended and
// runs from Start; Terminate asks Execute to stop (Execute checks
// Terminated), WaitFor waits for the end and gives ReturnValue. With
// FreeOnTerminate the object frees itself after OnTerminate. An exception
// that escapes Execute is kept in FatalException. The base destructor
// terminates and waits for a running thread; a derived class whose Execute
// uses its own members does that in its own destructor (Terminate, WaitFor),
// before those members go.
//
// Synchronize runs a function on the main (GUI) thread and waits for it;
// Queue hands one over without waiting. The main thread runs them in
// CheckSynchronize, which the GUI application calls when its own window is
// woken (SetSynchronizeWakeup); a program without one calls it itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace fw {

class TThread {
public:
    TThread();
    // Terminates a running thread and waits for it; a thread never started
    // is only freed.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Starts a suspended thread; EInvalidOperation when it has started already.
    void Start();
    bool Suspended() const { return !started_; }
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    // Waits until Execute has ended (running queued and synchronized calls
    // meanwhile when called on the main thread); the ReturnValue.
    // EInvalidOperation for a thread not started or freeing itself.
    int WaitFor();
    bool FreeOnTerminate() const { return free_on_terminate_; }
    void SetFreeOnTerminate(bool v) { free_on_terminate_ = v; }
    std::exception_ptr FatalException() const { return fatal_exception_; }
    // Runs on the main thread after Execute, before a FreeOnTerminate free.
    std::function<void(TThread* sender)> OnTerminate;

    // Runs `method` on the main thread and waits; an exception it raises is
    // raised again here. On the main thread it runs at once.
    void Synchronize(const std::function<void()>& method);
    static void Synchronize(TThread* thread, const std::function<void()>& method);
    // Hands `method` to the main thread without waiting (runs at once on the
    // main thread). Calls queued for a thread are dropped when it is freed.
    void Queue(std::function<void()> method);
    static void Queue(TThread* thread, std::function<void()> method);

protected:
    virtual void Execute() = 0;
    int ReturnValue = 0;

private:
    void Run();

    std::thread thread_;
    std::atomic<bool> started_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> free_on_terminate_{false};
    std::exception_ptr fatal_exception_;
    std::mutex done_lock_;
    std::condition_variable done_;
};

// The main thread: the one that started the program, or the one named here
// (the GUI application's thread).
void SetMainThread();
bool IsMainThread();
// Runs the calls waiting for the main thread; true when any ran. Call it on
// the main thread only.
bool CheckSynchronize();
// Called (on any thread) when a call starts waiting for the main thread, so
// that a main thread asleep in its message loop wakes up.
void SetSynchronizeWakeup(std::function<void()> wakeup);

}  // namespace fw
