#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/list_entry.h"

namespace qs {

class ImagePrefetcher;
class MenuContext;

// The menu's way in on its first visit: the logo plays while the game's content loads behind
// a loading bar, an entry a step. The program reads the content's lists at start-up and hands
// them in; a run that goes straight into a game loads them all at once instead.
class MenuIntro {
public:
    explicit MenuIntro(MenuContext& menu);
    ~MenuIntro();
    MenuIntro(const MenuIntro&) = delete;
    MenuIntro& operator=(const MenuIntro&) = delete;

    // The entries the loading phase loads, in order.
    void takeLoadList(std::vector<ListEntry> entries);
    const std::vector<ListEntry>& loadList() const { return loadList_; }
    // Makes the logo (its animations held until their turn) and the hidden bar's elements.
    void show();
    // One step of the logo: the bubbles meet, then the earth's path and the flash play.
    void runLogo(uint32_t now);
    // One step of loading: the next entry and the bar; once every entry is loaded and the
    // logo is over, the logo and the bar go and the menu fades in.
    void runLoading(uint32_t now);
    // Straight into a game: every entry now, and the game's own pointer.
    void loadAtOnce();
    // Some content was loaded: a return to the menu asks for its music at once.
    bool contentLoaded() const { return loadIndex_ > 0; }

private:
    void finishLoading(uint32_t now);

    MenuContext& menu_;
    std::vector<int> logoObjects_;  // the slots of the logo's parts
    std::vector<int> loadingBar_;   // and of the bar's elements
    std::vector<ListEntry> loadList_;
    int loadIndex_ = 0;  // entries loaded
    // Decodes the images of the next entries of the list on a second thread.
    std::unique_ptr<ImagePrefetcher> prefetcher_;
    int prefetchedUpTo_ = 0;  // entries of the list whose images were asked for
};

}  // namespace qs
