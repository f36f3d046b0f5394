#include "ui/session_signals.h"

SessionSignals::SessionSignals(FontSession& session, QObject* parent) : QObject(parent), session_(session)
{
    session_.addObserver(relay_);
}

SessionSignals::~SessionSignals()
{
    session_.removeObserver(relay_);
}
