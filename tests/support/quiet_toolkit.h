#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/widgets/toolkit.h"

// Records the message boxes, answers No, saves nothing, and File > Open gives `font`.
class QuietToolkit : public Toolkit {
public:
    explicit QuietToolkit(std::string opens = {}) : font(std::move(opens)) {}
    void MsgBox(const std::string& text) override { messages.push_back(text); }
    bool MsgBoxYesNo(const std::string&, const std::string&) override { return false; }
    std::string ShowOpen(const CommonDialog&) override { return font; }
    std::string ShowSave(CommonDialog&) override { return {}; }
    void PopupMenu(QMenu*) override {}
    std::vector<std::string> messages;
    std::string font;
};
