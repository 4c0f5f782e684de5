#include "Platform/Window/EngineWnd.h"

#include "Game/Log.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Platform/Window/NativeWindow.h"
#include "support/TestSupport.h"

#include <SDL.h>
#include <algorithm>
#include <epoxy/gl.h>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

void Push(SDL_Event e) {
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

// Runs the loop with an idle handler that performs an action in its first turn.
class FirstTurn : public CIdleHandler {
public:
    explicit FirstTurn(std::function<void()> action) : action_(std::move(action)) {}
    bool OnIdle() override {
        if (++turns == 1) {
            action_();
        }
        return true;
    }
    int turns = 0;

private:
    std::function<void()> action_;
};

} // namespace

TEST(EngineWnd, CreatesTheBorderlessWindowTheGraphicsContextNeeds) {
    CCustomMessageLoop loop;
    test::LogSince log;
    EngineWnd window;
    EXPECT_EQ(window.Native(), nullptr);
    ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CreateWindow"});
    ASSERT_NE(window.Native(), nullptr);
    SDL_Window* sdl = window.Native()->window;
    EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Korvantine");
    int w = 0, h = 0;
    SDL_GetWindowSize(sdl, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_TRUE(flags & SDL_WINDOW_OPENGL);
    EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
    EXPECT_TRUE(flags & SDL_WINDOW_SHOWN);
    EXPECT_FALSE(flags & SDL_WINDOW_FULLSCREEN);
    EXPECT_TRUE(window.IsWindow());
    EXPECT_TRUE(window.Focused());
    EXPECT_FALSE(window.Minimized());
    const Platform::Rect frame = window.FrameRect();
    EXPECT_EQ(frame.x, 0);
    EXPECT_EQ(frame.y, 0);
    EXPECT_EQ(frame.width, 1024);
    EXPECT_EQ(frame.height, 768);

    SDL_GLContext context = SDL_GL_CreateContext(sdl);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    EXPECT_GE(epoxy_gl_version(), 33);
    int profile = 0;
    EXPECT_EQ(SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile), 0);
    EXPECT_EQ(profile, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_DeleteContext(context);

    // A second window from the same object is refused.
    EXPECT_EQ(window.Create(true), EngineWnd::kCreateFailed);
    EXPECT_FALSE(window.ErrorText().empty());
    EXPECT_TRUE(window.IsWindow());
}

TEST(EngineWnd, FullScreenCoversTheDesktopAndLetterboxesTheFrame) {
    CCustomMessageLoop loop;
    EngineWnd window;
    ASSERT_EQ(window.Create(false), 0) << window.ErrorText();
    SDL_Window* sdl = window.Native()->window;
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP,
              Uint32(SDL_WINDOW_FULLSCREEN_DESKTOP));
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(sdl, &w, &h);
    const Platform::Rect expected = Platform::LetterboxRect(w, h);
    const Platform::Rect frame = window.FrameRect();
    EXPECT_EQ(frame.x, expected.x);
    EXPECT_EQ(frame.width, expected.width);
    EXPECT_EQ(frame.height, expected.height);
}

TEST(EngineWnd, EveryWayOfClosingEndsTheLoopWithZeroAndLogsOnce) {
    struct Way {
        std::string name;
        std::function<void(EngineWnd&)> close;
    };
    const auto closeEvent = [](EngineWnd& window) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = SDL_GetWindowID(window.Native()->window);
        Push(e);
    };
    const auto quitEvent = [](EngineWnd&) {
        SDL_Event e{};
        e.type = SDL_QUIT;
        Push(e);
    };
    const Way ways[] = {
        {"window close event", closeEvent},
        {"quit event", quitEvent},
        {"close and then quit",
         [&](EngineWnd& w) {
             closeEvent(w);
             quitEvent(w);
         }},
        {"close request", [](EngineWnd& w) { w.OnDestroyRequest(); }},
    };
    for (const Way& way : ways) {
        test::LogSince log;
        {
            CCustomMessageLoop loop;
            EngineWnd window;
            ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
            FirstTurn turn([&] { way.close(window); });
            loop.AddIdleHandler(&turn);
            EXPECT_EQ(loop.Run(), 0) << way.name;
            EXPECT_EQ(turn.turns, 1) << way.name;
            EXPECT_FALSE(window.IsWindow()) << way.name;
            // Hidden, not destroyed: the graphics device still needs it.
            ASSERT_NE(window.Native(), nullptr) << way.name;
            EXPECT_TRUE(SDL_GetWindowFlags(window.Native()->window) & SDL_WINDOW_HIDDEN);
            EXPECT_EQ(log.Count("Destroying window"), 1) << way.name;
            loop.RemoveIdleHandler(&turn);
        }
        EXPECT_EQ(log.Count("Destroying window"), 1) << way.name;
    }
}

TEST(EngineWnd, TeardownOfAnOpenWindowLogsOnceAndPostsQuit) {
    CCustomMessageLoop loop;
    test::LogSince log;
    {
        EngineWnd window;
        ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
        EXPECT_FALSE(loop.QuitPosted());
    }
    EXPECT_EQ(log.Count("Destroying window"), 1);
    EXPECT_TRUE(loop.QuitPosted());
}

TEST(EngineWnd, AFailedCreateReportsWhyAndLeavesNothing) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "no-such-driver", SDL_HINT_OVERRIDE);
    CCustomMessageLoop loop;
    test::LogSince log;
    {
        EngineWnd window;
        EXPECT_EQ(window.Create(true), EngineWnd::kCreateFailed);
        EXPECT_NE(window.ErrorText().find("video"), std::string::npos) << window.ErrorText();
        EXPECT_EQ(window.Native(), nullptr);
        EXPECT_FALSE(window.IsWindow());
    }
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CreateWindow"});
    EXPECT_FALSE(loop.QuitPosted());
    SDL_ResetHint(SDL_HINT_VIDEODRIVER);
}
