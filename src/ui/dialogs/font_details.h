#pragma once
#include <memory>

#include <QDialog>

struct FontState;
class LookupBrowser;

// "Font Details...": the open font's table directory with stored and
// computed checksums, the fields of head, hhea, maxp, OS/2 and post, the cmap
// subtables and which ones the lists and Find read, the variation axes and
// instances, the GSUB and GPOS lookups (LookupBrowser), and the naming table
// with what each name ID means.
class FontDetailsDialog : public QDialog {
    Q_OBJECT
public:
    // `font` must be loaded.
    FontDetailsDialog(QWidget* owner, std::shared_ptr<const FontState> font);

    LookupBrowser* lookups() const { return lookups_; }

signals:
    // A lookup chosen in the Lookups tab.
    void lookupSelected(bool gpos, int lookupIndex);

private:
    LookupBrowser* lookups_ = nullptr;
};
