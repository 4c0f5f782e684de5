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
    // The path to ask for: `path`, or the empty path while the picture is known to be missing.
    const std::string& Ask(const std::string& path) const { return missing_ ? kNone : path; }

    // Notes the outcome of a request for Ask(path). True for the first failure since the
    // last Retry, when the owner logs where the picture was wanted. An empty path never fails.
    bool Failed(const std::string& path, bool loaded) {
        if (loaded || missing_ || path.empty()) {
            return false;
        }
        missing_ = true;
        return true;
    }

    // The next request tries the path again (a new visit).
    void Retry() { missing_ = false; }

    bool Missing() const { return missing_; }

private:
    inline static const std::string kNone;
    bool missing_ = false;
};
