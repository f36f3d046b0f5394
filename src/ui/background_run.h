#pragma once
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <utility>

#include <QObject>
#include <QThreadPool>

// One job at a time on a worker thread of its own, handing its results to
// the receiver's thread as it goes. Another start, a cancel or the end of
// this object drops whatever the job before had still to hand back, so a
// result handed back always belongs to the latest job.
class BackgroundRun {
public:
    explicit BackgroundRun(QObject* receiver);
    ~BackgroundRun(); // cancels the job and waits for its worker
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    // What the job sees of its run, on the worker.
    class Job {
    public:
        bool cancelled() const { return cancelled_->load(std::memory_order_relaxed); }
        // True at most ten times a second: a font of 65 535 glyphs costs the
        // receiver a few hundred small updates, not one per glyph.
        bool due() const { return Clock::now() - handed_ > std::chrono::milliseconds(100); }
        // Runs `f` on the receiver's thread, unless another job has started
        // or the run was cancelled by then.
        template <class F>
        void hand(F f)
        {
            handed_ = Clock::now();
            QMetaObject::invokeMethod(run_->receiver_, [run = run_, generation = generation_, f = std::move(f)]() mutable {
                if (generation == run->generation_)
                    f();
            });
        }

    private:
        friend class BackgroundRun;
        using Clock = std::chrono::steady_clock;
        Job(BackgroundRun* run, quint64 generation, std::shared_ptr<std::atomic<bool>> cancelled)
            : run_(run), generation_(generation), cancelled_(std::move(cancelled))
        {
        }
        BackgroundRun* run_;
        quint64 generation_;
        std::shared_ptr<std::atomic<bool>> cancelled_;
        Clock::time_point handed_ = Clock::now();
    };

    // Cancels the job before and queues `work` on the worker.
    void start(std::function<void(Job&)> work);
    void cancel();

private:
    QObject* receiver_;
    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> cancelled_;
    quint64 generation_ = 0; // read and written on the receiver's thread only
};
