#include "Platform/Session/SessionInput.h"

#include "Game/Exception.h"
#include "Platform/Session/Session.h"

#include <SDL_events.h>
#include <cmath>
#include <optional>

namespace Session {

namespace {

std::uint8_t SdlButton(Command::Button button) {
    switch (button) {
    case Command::Button::Right:
        return SDL_BUTTON_RIGHT;
    case Command::Button::Middle:
        return SDL_BUTTON_MIDDLE;
    case Command::Button::Left:
        break;
    }
    return SDL_BUTTON_LEFT;
}

SDL_Event Motion(int dx, int dy) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    return event;
}

// The event of an input command; none for a capture, which is not input.
std::optional<SDL_Event> ToEvent(const Command& command, int range) {
    SDL_Event event{};
    switch (command.kind) {
    case Command::Kind::Pin:
        // Four ranges reach the corner from anywhere at any sensitivity of the game.
        return Motion(-4 * range, -4 * range);
    case Command::Kind::MoveFromCorner:
        return Motion(int(std::lround(double(command.x) * range / 1024.0)),
                      int(std::lround(double(command.y) * range / 768.0)));
    case Command::Kind::Press:
    case Command::Kind::Release: {
        const bool press = command.kind == Command::Kind::Press;
        event.type = press ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = SdlButton(command.button);
        event.button.state = press ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        break;
    }
    case Command::Kind::KeyDown:
    case Command::Kind::KeyUp: {
        const bool down = command.kind == Command::Kind::KeyDown;
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.scancode = SDL_Scancode(command.scancode);
        event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
        break;
    }
    case Command::Kind::Close:
        event.type = SDL_QUIT;
        break;
    case Command::Kind::Capture:
        return std::nullopt;
    }
    return event;
}

} // namespace

void InjectInput(Session& session) {
    for (const Command& command : session.TakeInput()) {
        std::optional<SDL_Event> event = ToEvent(command, session.GetScript().range);
        if (event && SDL_PushEvent(&*event) < 0) {
            throw exception(std::string("Cannot push the session's input: ") + SDL_GetError());
        }
    }
}

} // namespace Session
