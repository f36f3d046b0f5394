#include "ui/background_run.h"

BackgroundRun::BackgroundRun(QObject* receiver) : receiver_(receiver)
{
    pool_.setMaxThreadCount(1);
}

// The receiver is still whole here (this is one of its members), so a job
// handing back while we wait posts to a live object, and its call is dropped.
BackgroundRun::~BackgroundRun()
{
    cancel();
    pool_.waitForDone();
}

void BackgroundRun::cancel()
{
    if (cancelled_)
        cancelled_->store(true);
    cancelled_.reset();
    ++generation_;
}

void BackgroundRun::start(std::function<void(Job&)> work)
{
    cancel();
    cancelled_ = std::make_shared<std::atomic<bool>>(false);
    pool_.start([this, work = std::move(work), job = Job(this, generation_, cancelled_)]() mutable { work(job); });
}
