#pragma once
// A scripted test double of the dialogs' platform: dialogs keep their controls
// in memory, and every modal run takes the next step of a script that plays
// the user (selects, types, clicks) and names the closing button.

#include "sheetjob/dialogs/Controls.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace sheetjob::dialogs::testing {

/// Thrown where the program would end.
struct ProgramEnded {
    int exitCode;
};

class FakeDialog : public Dialog {
  public:
    struct Control {
        std::vector<std::string> items;
        int selected = 0;
        bool checked = false;
        bool enabled = true;
        std::string text;
        ControlCallback callback;
    };

    explicit FakeDialog(int id) : templateId(id) {}

    void setItemCount(int id, int count) override {
        auto& c = controls[id];
        c.items.resize(static_cast<std::size_t>(count));
        if (c.selected > count)
            c.selected = 0;
    }
    void setItemText(int id, int index, const std::string& text) override {
        controls[id].items.at(static_cast<std::size_t>(index - 1)) = text;
    }
    void setSelected(int id, int index) override { controls[id].selected = index; }
    [[nodiscard]] int selected(int id) const override { return get(id).selected; }
    void setChecked(int id, bool checked) override { controls[id].checked = checked; }
    [[nodiscard]] bool checked(int id) const override { return get(id).checked; }
    void setEnabled(int id, bool enabled) override { controls[id].enabled = enabled; }
    void setText(int id, const std::string& text) override { controls[id].text = text; }
    [[nodiscard]] std::string text(int id) const override { return get(id).text; }
    void attach(int id, ControlCallback callback) override {
        controls[id].callback = std::move(callback);
    }
    int runModal() override;

    // The user's actions: they fire the callbacks as a real dialog does.
    void userSelect(int id, int index) {
        auto& c = controls[id];
        if (index < 1 || index > static_cast<int>(c.items.size())) {
            ADD_FAILURE() << "list " << id << " has no item " << index;
            return;
        }
        if (c.selected == index)
            return;
        c.selected = index;
        if (c.callback)
            c.callback(*this, id, ControlEvent::SelectionChange);
    }
    void userClick(int id) {
        auto& c = controls[id];
        if (id == kIdSubSheets)
            c.checked = !c.checked;
        if (c.callback)
            c.callback(*this, id, ControlEvent::Click);
    }
    void userType(int id, const std::string& text) { controls[id].text = text; }
    /// The selected item's text.
    [[nodiscard]] std::string selectedText(int id) const {
        const auto& c = get(id);
        return c.selected >= 1 ? c.items.at(static_cast<std::size_t>(c.selected - 1))
                               : std::string();
    }

    const int templateId;
    std::map<int, Control> controls;
    class ScriptedPlatform* platform = nullptr;

  private:
    [[nodiscard]] const Control& get(int id) const {
        static const Control none;
        const auto it = controls.find(id);
        return it == controls.end() ? none : it->second;
    }
};

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;
};

class ScriptedPlatform : public Platform {
  public:
    /// One modal run: acts on the dialog and returns the closing button.
    using Step = std::function<int(FakeDialog&)>;

    /// Adds a step for a run of the template.
    void then(int templateId, Step step) { script.push_back({templateId, std::move(step)}); }

    std::unique_ptr<Dialog> createDialog(int templateId, Dialog*) override {
        if (missingTemplates.count(templateId))
            return nullptr;
        auto dialog = std::make_unique<FakeDialog>(templateId);
        dialog->platform = this;
        return dialog;
    }
    void messageBox(const std::string& text, const std::string& caption,
                    MessageIcon icon) override {
        messages.push_back({text, caption, icon});
    }
    void consoleLine(const std::string& line) override { console.push_back(line); }
    void endProgram(int exitCode) override { throw ProgramEnded{exitCode}; }
    std::optional<std::string> openFile(const OpenFileRequest& request) override {
        requests.push_back(request);
        cwd = "/somewhere/the/picker/went"; // the platform dialog may move the working directory
        return pickerAnswer;
    }
    std::string currentDirectory() override { return cwd; }
    void setCurrentDirectory(const std::string& path) override { cwd = path; }

    int runStep(FakeDialog& dialog) {
        if (script.empty()) {
            ADD_FAILURE() << "no scripted step for a run of template " << dialog.templateId;
            return kIdCancel;
        }
        auto [templateId, step] = std::move(script.front());
        script.pop_front();
        EXPECT_EQ(templateId, dialog.templateId) << "the step was written for another dialog";
        ++runs[dialog.templateId];
        return step(dialog);
    }

    std::deque<std::pair<int, Step>> script;
    std::set<int> missingTemplates;
    std::vector<ShownMessage> messages;
    std::vector<std::string> console;
    std::vector<OpenFileRequest> requests;
    std::optional<std::string> pickerAnswer;
    std::string cwd = "/work/start";
    std::map<int, int> runs;
};

inline int FakeDialog::runModal() { return platform->runStep(*this); }

} // namespace sheetjob::dialogs::testing
