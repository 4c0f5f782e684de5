#pragma once

#include "Synth.h"

// The demo game's sounds. Music (Music.cpp) is peak-normalised lower than the one-shot
// effects (Effects.cpp), so that a click or a door stands out over the track under it.
namespace Sounds {

constexpr float kMusicPeak = 0.6f;
constexpr float kEffectPeak = 0.7f;
constexpr float kAmbientPeak = 0.3f;

// The main menu's theme: A minor, a slow guitar line over pads.
Synth::Buffer Theme();
// The house: a music box waltz in D minor.
Synth::Buffer House();
// The lighthouse gallery's own track: a cold drone with distant bells.
Synth::Buffer Night();
// The cellar's own track: a low drone and dripping water.
Synth::Buffer Cellar();

// Looping ambience for the panoramas.
Synth::Buffer Sea();
Synth::Buffer Foghorn();

// One-shots.
Synth::Buffer Door();
Synth::Buffer Rattle();
Synth::Buffer Drawer();
Synth::Buffer Key();
Synth::Buffer Drop();
Synth::Buffer Page();
Synth::Buffer Click();
Synth::Buffer Candle();

} // namespace Sounds
