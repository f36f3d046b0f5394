#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include <QCache>
#include <QObject>
#include <QSet>
#include <QThreadPool>

#include "ui/overview/glyph_source.h"
#include "ui/overview/overview_drawing.h"

// The overview's thumbnails: built on demand on a worker thread, kept in a
// cache bounded by their bytes. The newest requests are built first, so
// the cells on screen come before those scrolled past; requests beyond a
// few screenfuls are dropped and asked for again when their cells are drawn.
class ThumbnailCache : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailCache(QObject* parent = nullptr);
    ~ThumbnailCache() override; // waits for the glyph being built

    // Both forget every thumbnail and request, and return once the worker
    // has let go of the old source; its late results are dropped.
    void setSource(std::shared_ptr<const GlyphSource> source);
    void setBoxSize(QSize box, qreal deviceRatio);

    // The glyph's thumbnail once built; until then nullptr, and the glyph is queued.
    const Thumbnail* find(int glyph);

signals:
    void ready(int glyph);

private:
    void restart();
    void work();
    void deliver(int glyph, quint64 generation, const Thumbnail& thumbnail);

    QCache<int, Thumbnail> cache_;
    QSet<int> requested_; // queued or being built, GUI thread only

    // Shared with the worker, under mutex_.
    std::mutex mutex_;
    std::vector<int> queue_; // newest last
    bool working_ = false;
    quint64 generation_ = 0; // changes with the source and the box
    std::shared_ptr<const GlyphSource> source_;
    QSize box_{48, 48};
    qreal deviceRatio_ = 1;

    QThreadPool pool_;
};
