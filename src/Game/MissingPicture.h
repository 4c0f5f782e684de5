#pragma once

#include <string>

// One picture that its owner asks the texture manager for in every frame (a screen's
// background, a panorama's cube map, the pointer atlas, the inventory's pictures). The
// manager tries a failed path again at every request and logs every failure; once a load
// has failed, the owner asks for no picture at all (the empty path, which the manager answers
// with none at once) until Retry, so the failure is logged once per visit instead of once per
// frame. Nothing changes in what is drawn: the owner draws without a texture either way.
class MissingPicture {
public:
    // The picture of `path` as `load` gives it (a pointer, null when it cannot be had); while
    // the picture is known to be missing, `load` is given the empty path instead. The first
    // failure since the last Retry calls `firstFailure`, where the owner logs where the
    // picture was wanted. An empty path never counts as a failure.
    template <typename Load, typename Report>
    auto Get(const std::string& path, Load&& load, Report&& firstFailure) {
        auto picture = load(missing_ ? kNone : path);
        if (picture == nullptr && !missing_ && !path.empty()) {
            missing_ = true;
            firstFailure();
        }
        return picture;
    }

    // The next request tries the path again (a new visit).
    void Retry() { missing_ = false; }

private:
    inline static const std::string kNone;
    bool missing_ = false;
};
