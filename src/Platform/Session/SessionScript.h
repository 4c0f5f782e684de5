#pragma once

// Inside the platform layers only: game code never includes this header.

#include <cstdint>
#include <string>
#include <vector>

namespace Session {

// One scheduled action of a session script. Frames are counted from 1, the first frame the
// program presents.
struct Command {
    enum class Kind {
        // The pointer pushed far up and left so the game's cursor rests in the top left
        // corner; the first half of a "move".
        Pin,
        // The relative motion that carries the pinned cursor to the frame pixel (x, y).
        MoveFromCorner,
        Press,   // mouse button down
        Release, // mouse button up
        KeyDown,
        KeyUp,
        Capture, // write the presented frame to `file`
        Close,   // close the window: the run ends before this frame is drawn
    };
    enum class Button { Left, Right, Middle };

    unsigned frame = 0;
    Kind kind = Kind::Close;
    int x = 0, y = 0;
    Button button = Button::Left;
    int scancode = 0; // the platform's scancode of a key
    std::string file; // Capture: a plain file name ending in ".png"
};

// A session script: lines of
//     step <ms>               the clock advances by exactly <ms> per presented frame
//     range <units>           mouse units that move the cursor across the whole frame
//                             (1000, the game's default sensitivity, when not given)
//     at <frame> move <x> <y> the cursor to a pixel of the 1024x768 frame (two frames:
//                             it rests in the corner at <frame>, on (x, y) from <frame>+1).
//                             Both are relative mouse motions: a state that takes no
//                             motion (a film, a cut-scene, a transition) loses them, and
//                             a panorama with the button held turns its view by them.
//     at <frame> press|release left|right|middle
//     at <frame> keydown|keyup <key name>  (the platform's key names: Escape, Return, A..)
//     at <frame> capture <name>.png
//     at <frame> close
// A "#" starts a comment; blank lines are ignored.
struct Script {
    unsigned step = 0; // 0: the real clock
    int range = 1000;
    // By frame, and in the order of the lines within a frame.
    std::vector<Command> commands;
};

// Parses a whole script. On the first bad line answers false with "line <n>: <reason>" in
// error; out is then unspecified.
bool ParseScript(const std::string& text, Script& out, std::string& error);

} // namespace Session
