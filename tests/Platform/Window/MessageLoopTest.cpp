#include "Game/Exception.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Platform/Window/EventSink.h"
#include "Platform/Window/IdleRegistration.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Notes its name in a shared journal in each idle turn and then runs its action; as an event
// sink it notes the user events it receives.
class Recorder : public CIdleHandler, public Platform::EventSink {
public:
    Recorder(std::string name, std::vector<std::string>& journal)
        : name_(name), journal_(journal) {}
    bool OnIdle() override {
        journal_.push_back(name_);
        if (action) {
            action();
        }
        return false;
    }
    void OnEvent(const SDL_Event& event) override {
        if (event.type == SDL_USEREVENT) {
            journal_.push_back("event " + std::to_string(event.user.code));
        }
    }
    std::function<void()> action;

private:
    std::string name_;
    std::vector<std::string>& journal_;
};

void PushUserEvent(int code) {
    SDL_Event e{};
    e.type = SDL_USEREVENT;
    e.user.code = code;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

} // namespace

TEST(MessageLoop, IdleHandlersRunInOrderUntilAQuitEndsTheTurn) {
    CCustomMessageLoop loop;
    std::vector<std::string> journal;
    Recorder a("a", journal), b("b", journal), c("c", journal);
    int turns = 0;
    b.action = [&] {
        if (++turns == 3) {
            PostQuitMessage(7);
        }
    };
    loop.AddIdleHandler(&a);
    loop.AddIdleHandler(&b);
    loop.AddIdleHandler(&c);
    EXPECT_EQ(loop.Run(), 7);
    // Results are ignored (every handler answers false); the quit lets c finish its turn.
    EXPECT_EQ(journal, (std::vector<std::string>{"a", "b", "c", "a", "b", "c", "a", "b", "c"}));
    EXPECT_FALSE(loop.QuitPosted()); // Run consumed it
    // A quit posted before Run ends it without an idle turn.
    loop.PostQuit(3);
    EXPECT_EQ(loop.Run(), 3);
    EXPECT_EQ(journal.size(), 9u);
}

TEST(MessageLoop, QueuedEventsReachTheSinksBeforeTheIdleTurn) {
    CCustomMessageLoop loop;
    std::vector<std::string> journal;
    Recorder engine("idle", journal);
    int turns = 0;
    engine.action = [&] {
        if (++turns == 1) {
            PushUserEvent(2);
            PushUserEvent(3);
        } else {
            PostQuitMessage(0);
        }
    };
    loop.AddEventSink(&engine);
    loop.AddIdleHandler(&engine);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"idle", "event 2", "event 3", "idle"}));
    EXPECT_TRUE(loop.RemoveEventSink(&engine));
    EXPECT_FALSE(loop.RemoveEventSink(&engine));
}

TEST(MessageLoop, HandlersMayRemoveThemselvesAndOthersDuringATurn) {
    CCustomMessageLoop loop;
    std::vector<std::string> journal;
    Recorder a("a", journal), b("b", journal), c("c", journal), late("late", journal);
    int turns = 0;
    a.action = [&] {
        ++turns;
        if (turns == 1) {
            loop.RemoveIdleHandler(&a);
            loop.RemoveIdleHandler(&b); // later in this same turn: not called
            loop.AddIdleHandler(&late);
        }
    };
    c.action = [&] {
        if (turns == 1) {
            turns = 2; // a is gone now: count c's turns instead
        } else {
            loop.PostQuit(0);
        }
    };
    loop.AddIdleHandler(&a);
    loop.AddIdleHandler(&b);
    loop.AddIdleHandler(&c);
    EXPECT_EQ(loop.Run(), 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"a", "c", "late", "c", "late"}));
    EXPECT_FALSE(loop.RemoveIdleHandler(&b));
}

TEST(MessageLoop, AnExceptionFromAnIdleHandlerLeavesRun) {
    CCustomMessageLoop loop;
    std::vector<std::string> journal;
    Recorder failing("failing", journal), other("other", journal);
    failing.action = [&] {
        loop.RemoveIdleHandler(&other);
        throw exception("frame failed");
    };
    loop.AddIdleHandler(&failing);
    loop.AddIdleHandler(&other);
    EXPECT_THROW(loop.Run(), exception);
    // The list is whole again afterwards: the removal made during the failed turn holds.
    EXPECT_TRUE(loop.RemoveIdleHandler(&failing));
    EXPECT_FALSE(loop.RemoveIdleHandler(&other));
    EXPECT_EQ(journal, (std::vector<std::string>{"failing"}));
}

// A thread's current loop is its innermost one, which PostQuitMessage ends; an idle
// registration lasts as long as its holder, and needs a loop.
TEST(MessageLoop, InnermostLoopAndIdleRegistration) {
    EXPECT_EQ(CurrentLoop(), nullptr);
    PostQuitMessage(1); // no loop: nothing to end
    std::vector<std::string> journal;
    Recorder a("a", journal);
    EXPECT_THROW(IdleRegistration{a}, exception);
    {
        CCustomMessageLoop outer;
        EXPECT_EQ(CurrentLoop(), &outer);
        {
            CCustomMessageLoop inner;
            EXPECT_EQ(CurrentLoop(), &inner);
            PostQuitMessage(4);
            EXPECT_TRUE(inner.QuitPosted());
            EXPECT_FALSE(outer.QuitPosted());
        }
        EXPECT_EQ(CurrentLoop(), &outer);
        {
            IdleRegistration registration(a);
            outer.OnIdle(0);
        }
        outer.OnIdle(0);
        EXPECT_EQ(journal, std::vector<std::string>{"a"});
        EXPECT_FALSE(outer.RemoveIdleHandler(&a));
    }
    EXPECT_EQ(CurrentLoop(), nullptr);
}
