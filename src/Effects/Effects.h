#pragma once

#include "Effects/Dirt.h"
#include "Effects/FullScreen.h"
#include "Effects/Lines.h"
#include "Effects/Pano.h"
#include "Effects/PingPong.h"
#include "Effects/Snow.h"
#include "Effects/Video.h"

// Every effect the program uses, one of each, built in member order when the process starts
// (after the device and the game object, whose random numbers the lines and the snow take)
// and destroyed in reverse order.
class Effects {
public:
    Effects();
    Effects(const Effects&) = delete;
    Effects& operator=(const Effects&) = delete;

    // Forwarded to the eight effects in member order: the compiled effect's own call, then the
    // effect's hook. The dust takes no part.
    void OnLostDevice();
    void OnResetDevice();

    Effect::FullScreen oldcinema_;
    Effect::FullScreen mask_;
    Dirt dirt_;
    Effect::Blur blur_;
    Effect::Bloom bloom_;
    Effect::Lines lines_;
    Effect::Pano cubemap_;
    Effect::Video video_;
    Effect::Snow snow_;
};

// The process's effects set; null outside its life.
extern Effects* g_effects;

Effects& effects();
