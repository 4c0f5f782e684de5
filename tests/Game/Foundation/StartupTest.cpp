#include "Game/Startup.h"

#include "Game/Exception.h"

#include <gtest/gtest.h>

namespace {

struct Tracked {
    static inline std::vector<std::string> events_;
    std::string name_;
    explicit Tracked(std::string name) : name_(std::move(name)) { events_.push_back("+" + name_); }
    ~Tracked() { events_.push_back("-" + name_); }
};

Tracked* g_first = nullptr;
Tracked* g_second = nullptr;

// An error destroys what was created, in reverse order; an object that already existed is
// kept (not replaced) and destroyed at the end of the scope.
TEST(ScopedGlobal, ErrorsUnwindInReverseAndExistingObjectsAreKept) {
    Tracked::events_.clear();
    std::string error;
    RunProtected(
        []() -> int {
            ScopedGlobal<Tracked> first(g_first, [] { return new Tracked("first"); });
            ScopedGlobal<Tracked> second(g_second, [] { return new Tracked("second"); });
            throw exception("step failed");
        },
        error);
    EXPECT_EQ(error, "step failed");
    EXPECT_EQ(g_first, nullptr);
    EXPECT_EQ(g_second, nullptr);
    g_first = new Tracked("early");
    {
        ScopedGlobal<Tracked> holder(g_first, [] { return new Tracked("late"); });
        EXPECT_EQ(g_first->name_, "early");
    }
    EXPECT_EQ(g_first, nullptr);
    EXPECT_EQ(Tracked::events_, (std::vector<std::string>{"+first", "+second", "-second", "-first",
                                                          "+early", "-early"}));
}

TEST(PlacementLines, OneLineEachForKnownValuesOnly) {
    Opts::Data d;
    EXPECT_EQ(PlacementLines(d),
              (std::vector<std::string>{"Sound buffer placement: auto", "Sound mixing: auto"}));
    d.soundBuffer_ = Opts::kPlacementSoft;
    d.soundMixer_ = Opts::kPlacementHard;
    EXPECT_EQ(PlacementLines(d),
              (std::vector<std::string>{"Sound buffer placement: soft", "Sound mixing: hard"}));
    d.soundBuffer_ = 7;
    EXPECT_EQ(PlacementLines(d), (std::vector<std::string>{"Sound mixing: hard"}));
}

} // namespace
