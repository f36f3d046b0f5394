#pragma once
#include <QLabel>

class QStatusBar;

// A permanent text of the status bar that leaves room for the message at
// the bar's left (the open file and its name). QStatusBar gives the message
// only what its permanent widgets leave, so a long glyph description beside
// a check's progress left it none. While the bar is short of room these
// texts share what the message (up to half the bar) leaves, each in
// proportion to its length, and are elided where that cuts them.
class StatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit StatusLabel(QStatusBar* bar);

    // As QLabel's; every text of the bar is fitted again.
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refit() const;

    QStatusBar* bar_;
};
