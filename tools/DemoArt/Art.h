#pragma once

#include "Canvas.h"

#include <string>
#include <vector>

// The demo game's pictures. Full-screen pictures are 1024x1024 canvases whose top 768 rows
// are the 1024x768 screen; the rest stays black.
namespace Art {

constexpr int kScreenW = 1024;
constexpr int kScreenH = 768;

// Where the loading screens frame their progress bar, and the bar cells' size.
constexpr int kBarX = 312;
constexpr int kBarY = 640;
constexpr int kBarW = 400;
constexpr int kBarH = 24;
constexpr int kBarSteps = 11;

struct Picture {
    std::string path; // relative to the data folder, '/' separated
    Canvas canvas;
};

// Every picture of the demo, in a fixed order.
std::vector<Picture> DrawAll();

// Scenes (Scenes.cpp) and interface pictures (Interface.cpp).
Canvas Hall();
Canvas Study();
Canvas Desk();
Canvas Window();
Canvas Cellar();
Canvas Menu();
Canvas LoadingIntro();
Canvas LoadingHouse();
Canvas FlashPhotograph();
Canvas FlashBeam();
Canvas DiaryPage();
Canvas ProgressBar();
Canvas CursorAtlas();
Canvas ItemAtlas();
Canvas BookAtlas();
Canvas BarBack();

} // namespace Art
