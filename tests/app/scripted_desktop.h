#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/desktop.h"

namespace qingxiu {

// A desktop whose dialog answers from a script and whose files live in memory, for driving the
// real window offscreen.
struct ScriptedDesktop {
    struct Dialog : CommonDialog {
        explicit Dialog(ScriptedDesktop& owner) : owner_(owner) {}
        void setType(DialogType type) override { owner_.type = type; }
        void setFilter(const std::string& filter) override { owner_.filter = filter; }
        void setFileName(const std::string& name) override { owner_.fileName = name; }
        std::string fileName() const override { return owner_.fileName; }
        void setDefaultExtension(const std::string& e) override { owner_.extension = e; }
        bool show() override {
            owner_.shownWith.push_back(owner_.fileName);
            if (owner_.answers.empty()) {
                return false;
            }
            const std::string answer = owner_.answers.front();
            owner_.answers.pop_front();
            if (answer.empty()) {
                return false;
            }
            owner_.fileName = answer;
            return true;
        }
        ScriptedDesktop& owner_;
    };

    // Each show() takes the next answer: a path confirms it, an empty one cancels.
    std::deque<std::string> answers;
    std::vector<std::string> shownWith;
    std::vector<std::string> messages;
    std::map<std::string, ByteSet> files;

    DialogType type = DialogType::Open;
    std::string filter;
    std::string fileName;
    std::string extension;

    Desktop make() {
        Desktop desktop;
        desktop.dialog = std::make_unique<Dialog>(*this);
        desktop.messageBox = [this](const std::string& text, int, const std::string&) {
            messages.push_back(text);
        };
        desktop.readFile = [this](const std::string& name) {
            const auto found = files.find(name);
            return found == files.end() ? ByteSet{} : found->second;
        };
        desktop.writeFile = [this](const std::string& name, const ByteSet& bytes) {
            files[name] = bytes;
            return true;
        };
        return desktop;
    }
};

}  // namespace qingxiu
