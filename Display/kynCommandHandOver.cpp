// The command hand-over to the GUI thread.
#include "Display/kynCommandHandOver.h"

namespace kyn {

TCommandHandOver::TCommandHandOver(TExecute execute, TWake wake) : execute_(std::move(execute)), wake_(std::move(wake)) {}

void TCommandHandOver::Execute(const std::wstring& line) {
    auto item = std::make_shared<TItem>();
    item->line = line;
    bool wake = false;
    {
        std::lock_guard guard(lock_);
        if (stopped_) throw ECommandsStopped(L"The display takes no more commands");
        queue_.push_back(item);
        // One wake-up stands for every line queued until Drain empties the
        // queue: a flood of lines must not flood the GUI thread's messages.
        wake = !wake_pending_;
        wake_pending_ = true;
    }
    if (wake) wake_();
    std::unique_lock guard(lock_);
    item->finished.wait(guard, [&] { return item->done; });
    if (item->error) std::rethrow_exception(item->error);
}

void TCommandHandOver::Drain() {
    if (running_) return;
    running_ = true;
    // Only the lines there now: senders that keep sending would otherwise
    // keep the GUI thread here for good, and nothing would be drawn.
    size_t batch;
    {
        std::lock_guard guard(lock_);
        batch = queue_.size();
    }
    for (; batch > 0; --batch) {
        std::shared_ptr<TItem> item;
        {
            std::lock_guard guard(lock_);
            if (queue_.empty() || stopped_) break;
            item = queue_.front();
            queue_.pop_front();
        }
        std::exception_ptr error;
        try {
            execute_(item->line);
        } catch (...) {
            error = std::current_exception();
        }
        {
            std::lock_guard guard(lock_);
            item->error = error;
            item->done = true;
            ++executed_;
        }
        item->finished.notify_one();
    }
    running_ = false;
    bool more;
    {
        std::lock_guard guard(lock_);
        more = !queue_.empty() && !stopped_;
        wake_pending_ = more;
    }
    // The rest after the GUI thread's other messages.
    if (more) wake_();
}

void TCommandHandOver::Shutdown() {
    std::lock_guard guard(lock_);
    stopped_ = true;
    for (auto& item : queue_) {
        item->error = std::make_exception_ptr(ECommandsStopped(L"The display takes no more commands"));
        item->done = true;
        item->finished.notify_one();
    }
    queue_.clear();
}

unsigned long TCommandHandOver::Executed() const {
    std::lock_guard guard(lock_);
    return executed_;
}

}  // namespace kyn
