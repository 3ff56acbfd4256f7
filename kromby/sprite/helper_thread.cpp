#include "kromby/sprite/helper_thread.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

class Helper {
  public:
    Helper() : thread_([this] { Loop(); }) {}

    ~Helper() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    // False, having done nothing, when another caller has the helper.
    bool TryRun(const std::function<void()>& work) {
        const std::unique_lock owner(owner_, std::try_to_lock);
        if (!owner) return false;
        {
            const std::lock_guard lock(mutex_);
            job_ = &work;
            ++generation_;
        }
        wake_.notify_one();
        work();
        std::unique_lock lock(mutex_);
        job_ = nullptr;  // a helper that has not started yet no longer will
        idle_.wait(lock, [this] { return running_ == 0; });
        return true;
    }

  private:
    void Loop() {
        uint64_t seen = 0;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || (job_ && generation_ != seen); });
            if (stop_) return;
            seen = generation_;
            const std::function<void()>* job = job_;
            running_ = 1;
            lock.unlock();
            (*job)();
            lock.lock();
            running_ = 0;
            idle_.notify_all();
        }
    }

    std::mutex owner_;  // held by the one caller the helper works with
    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    const std::function<void()>* job_ = nullptr;
    uint64_t generation_ = 0;
    int running_ = 0;
    bool stop_ = false;
    std::thread thread_;  // last: it starts running Loop as soon as it is made
};

Helper* TheHelper() {
    try {
        static Helper helper;
        return &helper;
    } catch (const std::system_error&) {
        return nullptr;  // no thread to be had now; a later call tries again
    }
}

}  // namespace

void RunWithHelper(const std::function<void()>& work) {
    Helper* helper = TheHelper();
    if (!helper || !helper->TryRun(work)) work();
}
