#pragma once

#include <memory>
#include <string>

namespace Gfx {
class Effect;
}

namespace Effect {

// One compiled effect file with a fixed way of running every pass of its current technique,
// and the hooks in which the concrete effects set their parameters, switch render targets and
// draw. The set holds its effects by value, so there is no virtual destructor.
class Base {
public:
    // Reads the effect file at `path`: "Cannot open effect file '<path>'" when it cannot be
    // read; text that does not parse (an empty file included) is a checked-call failure. The
    // programs of its passes are compiled when the passes first run, and one that does not
    // compile fails that pass's begin, with the compiler's log.
    explicit Base(const std::string& path);
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // The compiled effect, for callers that set parameters or the technique themselves.
    std::shared_ptr<Gfx::Effect> effect() const { return effect_; }

    // SetParams; then for every pass of the current technique PrePass, the pass with Draw
    // inside, PostPass; then Finish.
    void RunPasses();

    // The compiled effect's own device call, then the hook.
    void LostDevice();
    void ResetDevice();

    // Hooks, in this order; all do nothing here.
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}
    virtual void SetParams() {}
    virtual void Finish() {}
    virtual void PrePass(unsigned pass) { static_cast<void>(pass); }
    virtual void Draw(unsigned pass) { static_cast<void>(pass); }
    virtual void PostPass(unsigned pass) { static_cast<void>(pass); }

protected:
    ~Base() = default;

private:
    std::shared_ptr<Gfx::Effect> effect_;
};

} // namespace Effect
