#pragma once

#include <array>

#include "menu/menu_screen.h"

namespace qs {

// The name field: a first player's name (which cannot be cancelled), a new player's, or a
// new name for the highlighted player. Typed keys come as key commands.
class NameEntryScreen final : public MenuScreen {
public:
    using MenuScreen::MenuScreen;

    ScreenKind kind() const override { return kScreenNameEntry; }
    void prepare() override;
    void enter() override;
    void leave() override;
    void hover(uint32_t now) override;
    void release(int button) override;
    int enterButton() const override { return 1; }
    int escapeButton() const override { return 2; }
    bool key(const input::Key& key) override;
    std::vector<FocusTarget> focusTargets() const override {
        return menu_.targetsOf({buttons_[0], buttons_[1]});
    }

private:
    void redrawName();
    void ConfirmNameEntry(bool ok);
    void showNameMessage(const char* textFile, bool nameExists);

    std::array<ObjectRef, 2> buttons_;  // OK, cancel
    ObjectRef renameCursor_;
};

}  // namespace qs
