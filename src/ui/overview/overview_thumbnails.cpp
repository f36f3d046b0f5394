#include "ui/overview/overview_thumbnails.h"

namespace {

constexpr qsizetype CacheBytes = 64 * 1024 * 1024;
constexpr std::size_t MaxQueued = 600; // four screenfuls at the default size

} // namespace

ThumbnailCache::ThumbnailCache(QObject* parent) : QObject(parent), cache_(CacheBytes)
{
    // One worker keeps up with scrolling (a screenful takes a few
    // milliseconds) and leaves the other cores to the window.
    pool_.setMaxThreadCount(1);
}

ThumbnailCache::~ThumbnailCache()
{
    restart();
}

void ThumbnailCache::setSource(std::shared_ptr<const GlyphSource> source)
{
    {
        const std::lock_guard lock(mutex_);
        source_ = std::move(source);
    }
    restart();
}

void ThumbnailCache::setBoxSize(QSize box, qreal deviceRatio)
{
    {
        const std::lock_guard lock(mutex_);
        box_ = box;
        deviceRatio_ = deviceRatio;
    }
    restart();
}

void ThumbnailCache::restart()
{
    {
        const std::lock_guard lock(mutex_);
        queue_.clear();
        ++generation_;
    }
    // Once this returns the worker holds no glyph source: the old one may go.
    pool_.waitForDone();
    cache_.clear();
    requested_.clear();
}

const Thumbnail* ThumbnailCache::find(int glyph)
{
    if (const Thumbnail* t = cache_.object(glyph))
        return t;
    if (requested_.contains(glyph))
        return nullptr;
    const std::lock_guard lock(mutex_);
    if (!source_)
        return nullptr;
    requested_.insert(glyph);
    queue_.push_back(glyph);
    if (queue_.size() > MaxQueued) {
        requested_.remove(queue_.front());
        queue_.erase(queue_.begin());
    }
    if (!working_) {
        working_ = true;
        pool_.start([this] { work(); });
    }
    return nullptr;
}

// Runs on the worker until the queue is empty.
void ThumbnailCache::work()
{
    for (;;) {
        std::unique_lock lock(mutex_);
        if (queue_.empty()) {
            working_ = false;
            return;
        }
        const int glyph = queue_.back();
        queue_.pop_back();
        const quint64 generation = generation_;
        const std::shared_ptr<const GlyphSource> source = source_;
        const QSize box = box_;
        const qreal ratio = deviceRatio_;
        lock.unlock();

        const Thumbnail t = buildThumbnail(*source, glyph, box, ratio);
        QMetaObject::invokeMethod(this, [this, glyph, generation, t] { deliver(glyph, generation, t); }, Qt::QueuedConnection);
    }
}

void ThumbnailCache::deliver(int glyph, quint64 generation, const Thumbnail& thumbnail)
{
    {
        const std::lock_guard lock(mutex_);
        if (generation != generation_)
            return; // built for another font or size
    }
    requested_.remove(glyph);
    const qsizetype bytes = std::max<qsizetype>(64, thumbnail.image.sizeInBytes());
    cache_.insert(glyph, new Thumbnail(thumbnail), bytes);
    emit ready(glyph);
}
