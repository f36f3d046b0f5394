#pragma once
#include <string>
#include <vector>

#include "sfnt/errors.h"

// A message sink for tests: keeps every message-box text, in order.
class RecordingSink : public MessageSink {
public:
    void MsgBox(const std::string& text) override { texts.push_back(text); }

    std::vector<std::string> texts;
};
