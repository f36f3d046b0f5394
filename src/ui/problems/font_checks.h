#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include <QObject>

#include "check/outline_checks.h"
#include "ui/background_run.h"

// Every glyph of a font checked on a worker thread, the findings handed back
// to the GUI thread in batches as they come; a new run (another font, another
// location) cancels the one before and drops what it had still to hand back.
class FontChecks : public QObject {
    Q_OBJECT
public:
    explicit FontChecks(QObject* parent = nullptr) : QObject(parent) {}

    void start(std::shared_ptr<const FontState> font, const Location& location);
    void cancel();

    bool running() const { return running_; }
    int checked() const { return checked_; }
    int total() const { return int(checks_.size()); }
    // The glyphs with findings so far, in glyph order.
    const std::vector<GlyphFindings>& found() const { return found_; }
    // A bit (1 << Check) for each check that found something in the glyph.
    const std::vector<std::uint16_t>& checksByGlyph() const { return checks_; }

signals:
    // Each batch handed back, and once more at the end (running() false).
    void progressed();

private:
    void take(std::vector<GlyphFindings>&& batch, int checked, bool last);

    BackgroundRun run_{this};
    bool running_ = false;
    int checked_ = 0;
    std::vector<GlyphFindings> found_;
    std::vector<std::uint16_t> checks_;
};
