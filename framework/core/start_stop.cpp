// The start and stop table.
#include "framework/core/start_stop.h"

#include "framework/core/exceptions.h"

namespace fw {

TStartStopTable::TStartStopTable(std::vector<TStartStopStep> steps, TReporter reporter)
    : steps_(std::move(steps)), reporter_(std::move(reporter)), running_(steps_.size(), false) {}

TStartStopTable::~TStartStopTable() { Stop(); }

void TStartStopTable::Report(const std::wstring& step, bool starting, std::exception_ptr e) const {
    // A failing reporter must not stop the remaining steps.
    try {
        if (reporter_) {
            reporter_(step, starting, e);
        } else if (const TExceptionHook& hook = ExceptionHook()) {
            hook(nullptr, e);
        }
    } catch (...) {
    }
}

void TStartStopTable::Start() {
    if (started_) return;
    started_ = true;
    for (size_t i = 0; i < steps_.size(); ++i) {
        try {
            if (steps_[i].Start) steps_[i].Start();
            running_[i] = true;
        } catch (...) {
            Report(steps_[i].Name, true, std::current_exception());
        }
    }
}

void TStartStopTable::Stop() {
    if (!started_) return;
    started_ = false;
    for (size_t i = steps_.size(); i-- > 0;) {
        if (!running_[i]) continue;
        running_[i] = false;
        try {
            if (steps_[i].Stop) steps_[i].Stop();
        } catch (...) {
            Report(steps_[i].Name, false, std::current_exception());
        }
    }
}

}  // namespace fw
