#include "States/Transition.h"

#include "Game/Check.h"
#include "Game/Exception.h"
#include "Game/Game.h"
#include "Game/Log.h"
#include "Game/Opts.h"

#include <algorithm>
#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>
#include <boost/lexical_cast.hpp>
#include <cmath>

namespace State {

namespace {

// A whole attribute text as a float; anything else throws `exception` with `error`.
float ToFloat(const std::string& text, const char* error) {
    try {
        return boost::lexical_cast<float>(text);
    } catch (const boost::bad_lexical_cast&) {
        throw exception(error);
    }
}

float FloatAttr(const XmlDom::Element& element, const char* name, const char* byDefault) {
    return ToFloat(XmlDom::Attr(element, name, byDefault), "Bad float format");
}

// A view given to the target only when both values are above this.
constexpr float kNoView = -10.0f;

} // namespace

Transition::Transition(const std::string& from, const std::string& to) : to_(to), from_(from) {
    name_ = "t_" + from + "_" + to;
    entries_.push_back(Entry{250.0f, 500.0f, 250.0f, from, nullptr});
    entries_.push_back(Entry{500.0f, 250.0f, 250.0f, to, nullptr});
    heading_ = pitch_ = -100.0f;
}

void Transition::Load(const XmlDom::Element& element) {
    from_ = XmlDom::RequiredAttr(element, "from");
    to_ = XmlDom::RequiredAttr(element, "to");
    name_ = "t_" + from_ + "_" + to_;
    sign_ = XmlDom::Attr(element, "type", "black") == "black" ? -1.0f : 1.0f;

    entries_.assign(1, Entry{});
    entries_.front().name_ = from_;
    resources_.clear();
    const XmlDom::Selection flashes = XmlDom::SelectNodes(element, "flash");
    for (int i = 0; i < flashes.Length(); ++i) {
        const XmlDom::Element flash = XmlDom::Item(flashes, i);
        const std::string picture = XmlDom::RequiredAttr(flash, "screen");
        // A flash is a screen: the picture is its background.
        resources_.push_back(MapResource{picture, MapResource::kSimple, true});
        const std::string screen = name_ + "_" + std::to_string(i);
        game().map_.CreateScreen(screen, picture);
        entries_.push_back(Entry{FloatAttr(flash, "in", "150"), FloatAttr(flash, "out", "150"),
                                 FloatAttr(flash, "delay", "200"), screen, nullptr});
    }
    entries_.push_back(Entry{});
    entries_.back().name_ = to_;
    entries_.front().out_ = FloatAttr(element, "out", "500");
    entries_.back().in_ = FloatAttr(element, "in", "500");

    std::vector<std::string> coords;
    const std::string pos = XmlDom::Attr(element, "pos", "-1000,-1000");
    boost::split(coords, pos, boost::is_any_of(","), boost::token_compress_on);
    Require(coords.size() == 2, ".\\States\\Transition", "coords.size() == 2",
            "Wrong position format", "Wrong position format");
    heading_ = ToFloat(coords[0], "Bad position format");
    pitch_ = ToFloat(coords[1], "Bad position format");
}

void Transition::Start() {
    ++runs_;
    running_ = true;
    handingOver_ = false;
    stuck_ = false;
    leavingFor_.reset();
    // Resolved now, so the states shown are the ones registered when the move happens.
    for (Entry& entry : entries_) {
        entry.state_ = game().map_.GetState(entry.name_);
    }
    index_ = 0;
    phase_ = kFadeOut;
    phaseStart_ = now_;
    phaseEnd_ = phaseStart_ + (entries_.empty() ? 0.0f : entries_.front().out_);
    // The state being left was deactivated but not stopped: it runs until its fade-out ends.
    started_ = 0;
}

void Transition::Stop() {
    game().exposure_ = 0.0f;
    running_ = false;
    std::shared_ptr<Base> unfinished;
    if (!handingOver_ && started_ >= 0 && static_cast<std::size_t>(started_) < entries_.size()) {
        unfinished = entries_[static_cast<std::size_t>(started_)].state_;
    }
    started_ = -1;
    const std::shared_ptr<Base> target = std::move(leavingFor_);
    leavingFor_.reset();
    for (Entry& entry : entries_) {
        entry.state_.reset();
    }
    // Left before the hand-over: what the transition started must not run on.
    if (unfinished && unfinished != target) {
        unfinished->FireStop();
    }
}

float Transition::Factor(int phase, float t, float d) {
    if (phase == kHold || !(d > 0.0f)) {
        return 0.0f;
    }
    // A slow start of the entry's state can put the phase start after now.
    t = std::clamp(t, 0.0f, d);
    const float u = phase == kFadeIn ? (d - t) / d : t / d;
    // Rounding may carry the end of the curve a hair past 1.
    return std::min((std::exp(u * std::log(21.0f)) - 1.0f) * 0.05f, 1.0f);
}

bool Transition::EnterEntry() {
    const unsigned run = runs_;
    Entry& entry = entries_[index_];
    if (entry.state_) {
        started_ = static_cast<int>(index_);
        const std::shared_ptr<Base> state = entry.state_;
        state->FireStart();
        if (!running_ || runs_ != run) {
            return false;
        }
    }
    phase_ = kFadeIn;
    phaseStart_ = game().Time();
    phaseEnd_ = phaseStart_ + entry.in_;
    if (index_ + 1 == entries_.size() && heading_ > kNoView && pitch_ > kNoView && entry.state_) {
        entry.state_->SetView(heading_, pitch_);
    }
    return true;
}

bool Transition::Step() {
    const unsigned run = runs_;
    const auto left = [&] { return !running_ || runs_ != run; };
    const std::size_t last = entries_.size() - 1;
    while (!stuck_ && now_ > phaseEnd_) {
        if (phase_ == kFadeOut) {
            if (started_ == static_cast<int>(index_)) {
                started_ = -1;
                if (const std::shared_ptr<Base> state = entries_[index_].state_) {
                    state->FireStop();
                    if (left()) {
                        return false;
                    }
                }
            }
            index_ = opts().nomove_ || index_ >= last ? last : index_ + 1;
            if (!EnterEntry()) {
                return false;
            }
        } else if (phase_ == kHold) {
            phase_ = kFadeOut;
            phaseStart_ = now_;
            phaseEnd_ = phaseStart_ + entries_[index_].out_;
        } else {
            phase_ = kHold;
            phaseStart_ = now_;
            phaseEnd_ = phaseStart_ + entries_[index_].delay_;
            if (index_ == last) {
                handingOver_ = true;
                game().map_.SetState(to_);
                handingOver_ = false;
                if (left()) {
                    return false;
                }
                // The target did not become current: hold here instead of running on
                // past the last entry.
                stuck_ = true;
                LogFormat("Transition '%1%' cannot hand over to '%2%'", LogValue(name_),
                          LogValue(to_));
                return true;
            }
        }
    }
    return true;
}

void Transition::Render() {
    if (!running_ || entries_.empty() || !Step()) {
        return;
    }
    game().exposure_ = sign_ * Factor(phase_, now_ - phaseStart_, phaseEnd_ - phaseStart_);
    if (const std::shared_ptr<Base> state = Shown()) {
        state->Tick();
    }
}

std::shared_ptr<Base> Transition::Shown() const {
    return running_ && index_ < entries_.size() ? entries_[index_].state_ : nullptr;
}

bool Transition::ShowInventory() {
    const std::shared_ptr<Base> state = Shown();
    return state && state->ShowInventory();
}

void Transition::CollectResources(std::vector<MapResource>& list, MapPart&) {
    list.insert(list.end(), resources_.begin(), resources_.end());
}

std::string Transition::GetEffect() {
    if (!running_ || entries_.empty()) {
        return std::string();
    }
    // During the flash screens the look of the state being left stays on.
    const Entry& entry = index_ + 1 < entries_.size() ? entries_.front() : entries_.back();
    return entry.state_ ? entry.state_->QueryEffect() : std::string();
}

} // namespace State
