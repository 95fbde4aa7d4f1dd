// A table of named start and stop steps: the start steps run in table
// order, the stop steps of the steps that started in reverse order. Each
// step is guarded: one that fails is reported and the others still run.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace fw {

struct TStartStopStep {
    std::wstring Name;
    std::function<void()> Start;  // may be empty
    std::function<void()> Stop;   // may be empty
};

class TStartStopTable {
public:
    // How a failing step is reported: its name, whether it was starting, and
    // the exception as thrown. Without a reporter the exception hook
    // (SetExceptionHook) gets it.
    using TReporter = std::function<void(const std::wstring& step, bool starting, std::exception_ptr e)>;

    explicit TStartStopTable(std::vector<TStartStopStep> steps, TReporter reporter = nullptr);
    // Stops what started and has not stopped yet.
    ~TStartStopTable();
    TStartStopTable(const TStartStopTable&) = delete;
    TStartStopTable& operator=(const TStartStopTable&) = delete;

    // Runs every start step; again, nothing.
    void Start();
    // Runs the stop steps of the steps that started, last first; again, nothing.
    void Stop();
    bool Started() const { return started_; }
    const std::vector<TStartStopStep>& Steps() const { return steps_; }

private:
    void Report(const std::wstring& step, bool starting, std::exception_ptr e) const;

    std::vector<TStartStopStep> steps_;
    TReporter reporter_;
    std::vector<bool> running_;
    bool started_ = false;
};

}  // namespace fw
