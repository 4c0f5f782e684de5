#include "Platform/Window/EngineWnd.h"

#include "Game/Log.h"
#include "Platform/Window/CCustomMessageLoop.h"
#include "Platform/Window/NativeWindow.h"
#include "support/TestSupport.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

// Runs an action in the loop's first idle turn.
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

void ExpectFrame(const Platform::Rect& frame, const Platform::Rect& expected) {
    EXPECT_EQ(frame.x, expected.x);
    EXPECT_EQ(frame.y, expected.y);
    EXPECT_EQ(frame.width, expected.width);
    EXPECT_EQ(frame.height, expected.height);
}

} // namespace

TEST(EngineWnd, CreatesTheBorderlessWindowTheGraphicsContextNeeds) {
    CCustomMessageLoop loop;
    test::LogSince log;
    EngineWnd window;
    ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"CreateWindow"});
    SDL_Window* sdl = window.Native()->window;
    EXPECT_STREQ(SDL_GetWindowTitle(sdl), "Korvantine");
    const Uint32 flags = SDL_GetWindowFlags(sdl);
    EXPECT_EQ(flags & (SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN |
                       SDL_WINDOW_FULLSCREEN),
              Uint32(SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN));
    EXPECT_TRUE(window.IsWindow() && window.Focused() && !window.Minimized());
    ExpectFrame(window.FrameRect(), {0, 0, 1024, 768});

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
    ExpectFrame(window.FrameRect(), Platform::LetterboxRect(w, h));
}

// Closed or torn down open, the window logs "Destroying window" exactly once and posts quit;
// a closed window is hidden, not destroyed: the graphics device still needs it.
TEST(EngineWnd, EveryWayOfClosingEndsTheLoopWithZeroAndLogsOnce) {
    const auto push = [](Uint32 type, EngineWnd& window) {
        SDL_Event e{};
        e.type = type;
        e.window.event = SDL_WINDOWEVENT_CLOSE;
        e.window.windowID = SDL_GetWindowID(window.Native()->window);
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    };
    const std::pair<std::string, std::function<void(EngineWnd&)>> ways[] = {
        {"window close event", [&](EngineWnd& w) { push(SDL_WINDOWEVENT, w); }},
        {"quit event", [&](EngineWnd& w) { push(SDL_QUIT, w); }},
        {"close and then quit",
         [&](EngineWnd& w) {
             push(SDL_WINDOWEVENT, w);
             push(SDL_QUIT, w);
         }},
        {"close request", [](EngineWnd& w) { w.OnDestroyRequest(); }},
    };
    for (const auto& [name, close] : ways) {
        SCOPED_TRACE(name);
        test::LogSince log;
        {
            CCustomMessageLoop loop;
            EngineWnd window;
            ASSERT_EQ(window.Create(true), 0) << window.ErrorText();
            FirstTurn turn([&] { close(window); });
            loop.AddIdleHandler(&turn);
            EXPECT_EQ(loop.Run(), 0);
            EXPECT_EQ(turn.turns, 1);
            EXPECT_FALSE(window.IsWindow());
            ASSERT_NE(window.Native(), nullptr);
            EXPECT_TRUE(SDL_GetWindowFlags(window.Native()->window) & SDL_WINDOW_HIDDEN);
            loop.RemoveIdleHandler(&turn);
        }
        EXPECT_EQ(log.Count("Destroying window"), 1);
    }
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
