#pragma once
#include <QObject>

#include "session/font_session.h"

// The session's news as Qt signals, for the windows beside the main one:
// they follow and move the session through this, never through the main
// window. It observes the session from construction to destruction, so it
// must not outlive it.
class SessionSignals : public QObject {
    Q_OBJECT
public:
    explicit SessionSignals(FontSession& session, QObject* parent = nullptr);
    ~SessionSignals() override;

    FontSession& session() const { return session_; }

signals:
    void fontOpened();
    void glyphShown(int glyph);
    void locationChanged();
    void selectionChanged();

private:
    struct Relay : SessionObserver {
        explicit Relay(SessionSignals& to) : to(to) {}
        void fontOpened() override { emit to.fontOpened(); }
        void glyphShown(int glyph) override { emit to.glyphShown(glyph); }
        void locationChanged() override { emit to.locationChanged(); }
        void selectionChanged() override { emit to.selectionChanged(); }
        SessionSignals& to;
    };

    FontSession& session_;
    Relay relay_{*this};
};
