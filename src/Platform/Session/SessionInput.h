#pragma once

// Inside the platform layers only: game code never includes this header.

namespace Session {

class Session;

// Pushes the session's input of the frame drawn next onto the platform's event queue, so it
// takes the path of real input: the window, the input devices, the game. Called by the
// message loop before it takes the queue's events. A move pins the cursor with a large
// motion up and left (the game clamps it to the corner), then, a frame later, moves it by
// the pixel's share of the script's range: it aims a cursor that follows the relative
// motion, not inverted.
// A refused push throws exception.
void InjectInput(Session& session);

} // namespace Session
