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

// Where the menus put their pieces (Menus.cpp), in pixels of the 1024x768 screen; the game
// definition places its controls at the same places.
constexpr int kButtonX = 736, kButtonY = 230, kButtonStep = 58, kButtonW = 256, kButtonH = 48;
constexpr int kButtons = 6;
constexpr int kSlotX = 262, kSlotY = 200, kSlotStep = 62, kSlotW = 500, kSlotH = 50;
constexpr int kSlots = 6;
constexpr int kBackX = 412, kBackY = 630, kBackW = 200, kBackH = 50;
constexpr int kOptionY = 200, kOptionStep = 70, kSliderX0 = 470, kSliderX1 = 830;
constexpr int kSwitchX = 620, kSwitchW = 64, kSwitchH = 32;

// Scenes (Scenes.cpp) and interface pictures (Interface.cpp).
Canvas Hall();
Canvas Study();
Canvas Desk();
Canvas Window();
Canvas Cellar();
Canvas LoadingIntro();
Canvas LoadingHouse();
Canvas FlashPhotograph();
Canvas FlashBeam();
Canvas DiaryPage(int page);
Canvas Ending();
Canvas ProgressBar();
Canvas CursorAtlas();
Canvas ItemAtlas();
Canvas BookAtlas();
Canvas BarBack();
Canvas MessageBand();
Canvas MessageNote();

// The menus (Menus.cpp): the title and buttons of the main menu's panorama, the save, load
// and options screens, the slider knob and the switch.
Canvas Title();
Canvas Buttons();
Canvas SaveScreen(bool save);
Canvas OptionsScreen();
Canvas Knob();
Canvas Switch();

// Animated and movable pieces of the scenes (Props.cpp).
Canvas LampFlicker();
Canvas DrawerFrames();
Canvas CandleStub();
Canvas LoosePage();
Canvas Glint();
Canvas Words();

} // namespace Art
